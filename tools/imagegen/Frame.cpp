#include "Frame.h"

Frame::Frame(float originX, float originY, float pixelsPerUnit)
    : originX_(originX), originY_(originY), scale_(pixelsPerUnit) {}

Shape Frame::ellipse(float u, float v, float ru, float rv) const {
    const Point c = at(u, v);
    return Shape::ellipse(c.x, c.y, pixels(ru), pixels(rv));
}

Shape Frame::box(float u0, float v0, float u1, float v1, float radius) const {
    const Point a = at(u0, v0);
    const Point b = at(u1, v1);
    return Shape::box(a.x, a.y, b.x, b.y, pixels(radius));
}

Shape Frame::polygon(const std::vector<Point>& points) const {
    std::vector<Point> pixelPoints;
    for (const Point& p : points)
        pixelPoints.push_back(at(p.x, p.y));
    return Shape::polygon(pixelPoints);
}

Shape Frame::mirroredPolygon(const std::vector<Point>& points) const {
    std::vector<Point> mirrored;
    for (const Point& p : points)
        mirrored.push_back({-p.x, p.y});
    return polygon(points).unitedWith(polygon(mirrored));
}

Shape Frame::capsule(Point a, float ra, Point b, float rb) const {
    return Shape::capsule(at(a.x, a.y), pixels(ra), at(b.x, b.y), pixels(rb));
}

Shape Frame::stroke(const std::vector<Point>& points, float halfWidth) const {
    std::vector<Point> pixelPoints;
    for (const Point& p : points)
        pixelPoints.push_back(at(p.x, p.y));
    return Shape::stroke(pixelPoints, pixels(halfWidth));
}

Shape Frame::arc(Point a, Point control, Point b, float halfWidth) const {
    return stroke(curve(a, control, b, 8), halfWidth);
}
