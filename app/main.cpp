#include "app/AppState.h"
#include "app/GlutCallbacks.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
    // Each output line as it happens, also into a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    glutInit(&argc, argv);
#if defined(__SANITIZE_ADDRESS__)
    // Sanitized builds look for leaks before GLUT's exit handling unloads the GL driver.
    std::atexit([] { __lsan_do_leak_check(); });
#endif
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    const int window = glutCreateWindow("Throngwick");
    AppState::instance().initialise(window, 1024, 512);
    registerGlutCallbacks();
    glutMainLoop();
    return 0;
}
