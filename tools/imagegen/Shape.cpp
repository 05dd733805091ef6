#include "Shape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}
} // namespace

Shape Shape::ellipse(float cx, float cy, float rx, float ry) {
    Shape s;
    s.distance = [=](float x, float y) {
        const float px = (x - cx) / rx;
        const float py = (y - cy) / ry;
        const float k0 = length(px, py);
        const float k1 = length(px / rx, py / ry);
        // Near the centre the gradient estimate divides by almost nothing; it is deep inside.
        if (k1 < 1e-6f)
            return -std::min(rx, ry);
        return k0 * (k0 - 1.0f) / k1;
    };
    s.left = cx - rx - 1.0f;
    s.right = cx + rx + 1.0f;
    s.top = cy - ry - 1.0f;
    s.bottom = cy + ry + 1.0f;
    return s;
}

Shape Shape::box(float x0, float y0, float x1, float y1, float radius) {
    const float cx = (x0 + x1) * 0.5f;
    const float cy = (y0 + y1) * 0.5f;
    const float hx = std::fabs(x1 - x0) * 0.5f;
    const float hy = std::fabs(y1 - y0) * 0.5f;
    const float r = std::min(radius, std::min(hx, hy));
    Shape s;
    s.distance = [=](float x, float y) {
        const float qx = std::fabs(x - cx) - (hx - r);
        const float qy = std::fabs(y - cy) - (hy - r);
        return length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
               r;
    };
    s.left = cx - hx - 1.0f;
    s.right = cx + hx + 1.0f;
    s.top = cy - hy - 1.0f;
    s.bottom = cy + hy + 1.0f;
    return s;
}

Shape Shape::polygon(std::vector<Point> points) {
    Shape s;
    s.left = s.top = 1e9f;
    s.right = s.bottom = -1e9f;
    for (const Point& p : points) {
        s.left = std::min(s.left, p.x - 1.0f);
        s.right = std::max(s.right, p.x + 1.0f);
        s.top = std::min(s.top, p.y - 1.0f);
        s.bottom = std::max(s.bottom, p.y + 1.0f);
    }
    s.distance = [v = std::move(points)](float x, float y) {
        const size_t n = v.size();
        float best = (x - v[0].x) * (x - v[0].x) + (y - v[0].y) * (y - v[0].y);
        float sign = 1.0f;
        for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
            const float ex = v[j].x - v[i].x;
            const float ey = v[j].y - v[i].y;
            const float wx = x - v[i].x;
            const float wy = y - v[i].y;
            const float along = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
            const float bx = wx - ex * along;
            const float by = wy - ey * along;
            best = std::min(best, bx * bx + by * by);
            // Crossing count along a horizontal ray decides inside from outside.
            const bool c1 = y >= v[i].y;
            const bool c2 = y < v[j].y;
            const bool c3 = ex * wy > ey * wx;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
                sign = -sign;
        }
        return sign * std::sqrt(best);
    };
    return s;
}

Shape Shape::capsule(Point a, float radiusA, Point b, float radiusB) {
    Shape s;
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float h = std::max(length(dx, dy), 1e-4f);
    // Unit axis from a to b and its normal, for a frame in which b lies at (0, h).
    const float ux = dx / h;
    const float uy = dy / h;
    const float slope = std::clamp((radiusA - radiusB) / h, -0.999f, 0.999f);
    const float cosine = std::sqrt(1.0f - slope * slope);
    s.distance = [=](float x, float y) {
        const float wx = x - a.x;
        const float wy = y - a.y;
        const float py = wx * ux + wy * uy;
        const float px = std::fabs(wx * uy - wy * ux);
        const float k = -slope * px + cosine * py;
        if (k < 0.0f)
            return length(px, py) - radiusA;
        if (k > cosine * h)
            return length(px, py - h) - radiusB;
        return px * cosine + py * slope - radiusA;
    };
    s.left = std::min(a.x - radiusA, b.x - radiusB) - 1.0f;
    s.right = std::max(a.x + radiusA, b.x + radiusB) + 1.0f;
    s.top = std::min(a.y - radiusA, b.y - radiusB) - 1.0f;
    s.bottom = std::max(a.y + radiusA, b.y + radiusB) + 1.0f;
    return s;
}

Shape Shape::stroke(const std::vector<Point>& points, float halfWidth) {
    Shape s =
        capsule(points[0], halfWidth, points[std::min<size_t>(1, points.size() - 1)], halfWidth);
    for (size_t i = 1; i + 1 < points.size(); ++i)
        s = s.unitedWith(capsule(points[i], halfWidth, points[i + 1], halfWidth));
    return s;
}

Shape Shape::everywhere(float x0, float y0, float x1, float y1) {
    Shape s;
    s.distance = [](float, float) { return -1e6f; };
    s.left = x0;
    s.top = y0;
    s.right = x1;
    s.bottom = y1;
    return s;
}

Shape Shape::grown(float amount) const {
    Shape s;
    s.distance = [inner = distance, amount](float x, float y) { return inner(x, y) - amount; };
    s.left = left - amount;
    s.top = top - amount;
    s.right = right + amount;
    s.bottom = bottom + amount;
    return s;
}

Shape Shape::unitedWith(const Shape& other) const {
    Shape s;
    s.distance = [a = distance, b = other.distance](float x, float y) {
        return std::min(a(x, y), b(x, y));
    };
    s.left = std::min(left, other.left);
    s.top = std::min(top, other.top);
    s.right = std::max(right, other.right);
    s.bottom = std::max(bottom, other.bottom);
    return s;
}

Shape Shape::intersectedWith(const Shape& other) const {
    Shape s;
    s.distance = [a = distance, b = other.distance](float x, float y) {
        return std::max(a(x, y), b(x, y));
    };
    s.left = std::max(left, other.left);
    s.top = std::max(top, other.top);
    s.right = std::min(right, other.right);
    s.bottom = std::min(bottom, other.bottom);
    return s;
}

Shape Shape::without(const Shape& other) const {
    Shape s;
    s.distance = [a = distance, b = other.distance](float x, float y) {
        return std::max(a(x, y), -b(x, y));
    };
    s.left = left;
    s.top = top;
    s.right = right;
    s.bottom = bottom;
    return s;
}

std::vector<Point> curve(Point a, Point control, Point b, int segments) {
    std::vector<Point> points;
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const float u = 1.0f - t;
        points.push_back({u * u * a.x + 2.0f * u * t * control.x + t * t * b.x,
                          u * u * a.y + 2.0f * u * t * control.y + t * t * b.y});
    }
    return points;
}
