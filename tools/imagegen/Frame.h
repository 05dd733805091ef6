// A picture's own drawing units: world units of the sprite, measured from an origin pixel,
// x to the right and y downward, so figures are described at the size they are seen.
#pragma once

#include "Shape.h"

#include <vector>

class Frame {
    float originX_; // pixels
    float originY_;
    float scale_; // pixels per unit

  public:
    Frame(float originX, float originY, float pixelsPerUnit);

    Point at(float u, float v) const { return {originX_ + u * scale_, originY_ + v * scale_}; }
    float pixels(float units) const { return units * scale_; }
    // Back from a pixel to units, for paints that work in units.
    float u(float x) const { return (x - originX_) / scale_; }
    float v(float y) const { return (y - originY_) / scale_; }

    Shape ellipse(float u, float v, float ru, float rv) const;
    Shape circle(float u, float v, float r) const { return ellipse(u, v, r, r); }
    Shape box(float u0, float v0, float u1, float v1, float radius = 0.0f) const;
    Shape polygon(const std::vector<Point>& points) const;
    // The polygon and its mirror image across u = 0, joined.
    Shape mirroredPolygon(const std::vector<Point>& points) const;
    Shape capsule(Point a, float ra, Point b, float rb) const;
    Shape stroke(const std::vector<Point>& points, float halfWidth) const;
    // A quadratic curve from a to b through control, stroked.
    Shape arc(Point a, Point control, Point b, float halfWidth) const;
};
