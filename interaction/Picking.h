// Turns a cursor position into a world ray through the current GL matrices, and the floor
// rectangles the ray is tested against (both in the plane y = 0).
#pragma once

#include "base/Vec3.h"

struct Ray {
    Vec3 origin;    // on the near plane
    Vec3 direction; // unit length
};

// Corners q0, q1, q2, q3: q0-q3 is the diagonal the two triangles share.
struct FloorQuad {
    Vec3 q0, q1, q2, q3;
};

// x from -100 to 100, z from 0 to 100: where the crowd stands.
extern const FloorQuad frontFloorQuad;
// x from -100 to 100, z from -100 to 100.
extern const FloorQuad wholeFloorQuad;

// The view as GL holds it, as the camera last set it.
struct ViewMatrices {
    int viewport[4]; // x, y, width, height in pixels
    double modelview[16];
    double projection[16];
};
ViewMatrices readViewMatrices();

// Window x from the left, y from the top; reads viewport and matrices, so call it outside drawing.
Ray screenRay(int x, int y);

// The inverse: the whole window pixel (x, y as screenRay takes them) that shows point; false
// when no pixel of the viewport does. Reads the matrices as screenRay does.
bool screenPoint(Vec3 point, int& x, int& y);

// The ray against a floor rectangle; hit is left alone on a miss.
bool intersectFloor(const Ray& ray, const FloorQuad& quad, Vec3& hit);
