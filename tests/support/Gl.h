// A real OpenGL context for tests (a 1024 by 512 GLUT window on the X display, Xvfb in CI), where
// a point lands on the window, and the pixels drawn there; its matrices read back as picking does.
#pragma once

#include "base/Vec3.h"
#include "interaction/Picking.h"

#include <array>

constexpr int windowWidth = 1024;
constexpr int windowHeight = 512;

// Creates the window once per process and makes its context current.
void ensureGlContext();

// Window pixel (x from the left, y from the bottom) of an eye-space point under a 55 degree
// perspective of the whole window: the tests' own projection, not GL's.
Vec3 eyeToWindow(Vec3 point);
// The same for a world point seen from eye, looking along -z.
inline Vec3 worldToWindow(Vec3 point, Vec3 eye) {
    return eyeToWindow(point - eye);
}

using Rgb = std::array<int, 3>;
// The colour of the back buffer at a window pixel.
Rgb pixelAt(Vec3 window);
