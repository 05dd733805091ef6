// Outlines the painter fills: each is a signed distance in pixels (negative inside) with a
// bounding box, so edges come out anti-aliased and shapes can be grown, joined and cut.
#pragma once

#include <functional>
#include <vector>

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

struct Shape {
    std::function<float(float, float)> distance; // pixels to the outline, negative inside
    float left = 0.0f; // bounds in pixels, outside which nothing is covered
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    static Shape ellipse(float cx, float cy, float rx, float ry);
    static Shape circle(float cx, float cy, float r) { return ellipse(cx, cy, r, r); }
    // Corners rounded by radius (pixels); 0 gives a sharp box.
    static Shape box(float x0, float y0, float x1, float y1, float radius = 0.0f);
    // Any simple polygon, convex or not, in either winding.
    static Shape polygon(std::vector<Point> points);
    // The hull of two circles: a limb, a tongue of flame, a thick stroke.
    static Shape capsule(Point a, float radiusA, Point b, float radiusB);
    // A band along a polyline, as for a lip line or a strand of hair.
    static Shape stroke(const std::vector<Point>& points, float halfWidth);
    // The whole plane clipped to a box: for paints that draw their own pattern.
    static Shape everywhere(float x0, float y0, float x1, float y1);

    Shape grown(float amount) const;
    Shape unitedWith(const Shape& other) const;
    Shape intersectedWith(const Shape& other) const;
    Shape without(const Shape& other) const;
};

// Points along a quadratic curve from a to b pulled toward control, ends included.
std::vector<Point> curve(Point a, Point control, Point b, int segments);
