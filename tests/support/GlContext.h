// A real OpenGL context for tests: a hidden 1024 by 512 GLUT window on the X display (Xvfb in CI).
#pragma once

// Creates the window once per process and makes its context current.
void ensureGlContext();
