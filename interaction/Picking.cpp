#include "interaction/Picking.h"

#include "app/AppState.h"

#include <GL/glu.h>
#include <cmath>

const FloorQuad frontFloorQuad{
    {-100.0f, 0.0f, 100.0f}, {100.0f, 0.0f, 100.0f}, {-100.0f, 0.0f, 0.0f}, {100.0f, 0.0f, 0.0f}};
const FloorQuad wholeFloorQuad{{-100.0f, 0.0f, 100.0f},
                               {100.0f, 0.0f, 100.0f},
                               {-100.0f, 0.0f, -100.0f},
                               {100.0f, 0.0f, -100.0f}};

ViewMatrices readViewMatrices() {
    ViewMatrices m;
    glGetIntegerv(GL_VIEWPORT, m.viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, m.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
    return m;
}

Ray screenRay(int x, int y) {
    const ViewMatrices m = readViewMatrices();
    const int flippedY = m.viewport[3] - y - 1;

    // Whole pixel numbers, no half-pixel offset.
    GLdouble nearX, nearY, nearZ, farX, farY, farZ;
    gluUnProject(x, flippedY, 0.0, m.modelview, m.projection, m.viewport, &nearX, &nearY, &nearZ);
    gluUnProject(x, flippedY, 1.0, m.modelview, m.projection, m.viewport, &farX, &farY, &farZ);

    Ray ray;
    ray.origin = {static_cast<float>(nearX), static_cast<float>(nearY), static_cast<float>(nearZ)};
    Vec3 d{static_cast<float>(farX) - static_cast<float>(nearX),
           static_cast<float>(farY) - static_cast<float>(nearY),
           static_cast<float>(farZ) - static_cast<float>(nearZ)};
    const float inverseLength = 1.0f / std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    ray.direction = d * inverseLength;
    return ray;
}

bool screenPoint(Vec3 point, int& x, int& y) {
    const ViewMatrices m = readViewMatrices();
    GLdouble windowX, windowY, depth;
    if (gluProject(point.x, point.y, point.z, m.modelview, m.projection, m.viewport, &windowX,
                   &windowY, &depth) == GL_FALSE ||
        depth < 0.0 || depth > 1.0)
        return false; // behind the eye or beyond the far plane
    // screenRay takes whole pixels as they are: the nearest whole one is the best aim.
    x = static_cast<int>(std::lround(windowX));
    y = m.viewport[3] - 1 - static_cast<int>(std::lround(windowY));
    return x >= 0 && x < m.viewport[2] && y >= 0 && y < m.viewport[3];
}

bool intersectFloor(const Ray& ray, const FloorQuad& quad, Vec3& hit) {
    return AppState::intersectQuad(ray.origin, ray.direction, quad.q0, quad.q1, quad.q2, quad.q3,
                                   hit);
}

// The ray tests are AppState's operations; they use none of its fields and live with the picking.
bool AppState::intersectTriangle(Vec3 origin, Vec3 direction, Vec3 t0, Vec3 t1, Vec3 t2,
                                 Vec3& hit) {
    const float parallelEpsilon = 0.00001f;
    const Vec3 e1 = t1 - t0;
    const Vec3 e2 = t2 - t0;
    const Vec3 pvec = cross(direction, e2);
    const float det = dot(e1, pvec);
    if (det > -parallelEpsilon && det < parallelEpsilon)
        return false;
    const float inv = 1.0f / det;
    const Vec3 tvec = origin - t0;
    const float u = dot(tvec, pvec) * inv;
    if (u < 0.0f || u > 1.0f)
        return false;
    const Vec3 qvec = cross(tvec, e1);
    const float v = dot(direction, qvec) * inv;
    if (v < 0.0f || u + v > 1.0f)
        return false;
    // No test on the distance along the ray: a crossing behind the origin counts.
    hit = t0 * (1.0f - u - v) + t1 * u + t2 * v;
    return true;
}

bool AppState::intersectQuad(Vec3 origin, Vec3 direction, Vec3 q0, Vec3 q1, Vec3 q2, Vec3 q3,
                             Vec3& hit) {
    if (intersectTriangle(origin, direction, q0, q2, q3, hit))
        return true;
    return intersectTriangle(origin, direction, q0, q3, q1, hit);
}
