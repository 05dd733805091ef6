#include "support/GlContext.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <chrono>
#include <thread>

void ensureGlContext() {
    static bool created = false;
    if (created)
        return;
    // A busy X server now and then refuses one connection; GLUT would end the test on it.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    int argc = 1;
    char name[] = "throngwick-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    glutCreateWindow("Throngwick test");
    created = true;
}
