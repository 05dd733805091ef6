// The browser keeps its own full screen (its F11) and its own pictures of a page, and runs the
// page's frames at its own pace, paused or not.
#include "app/Platform.h"

#include <GL/freeglut.h>

void platform::toggleFullScreen() {}

void platform::savePicture(int32_t, int32_t) {}

void platform::restWhilePaused() {}

bool platform::sizeWindow(int32_t width, int32_t height) {
    if (width != glutGet(GLUT_WINDOW_WIDTH) || height != glutGet(GLUT_WINDOW_HEIGHT))
        glutReshapeWindow(width, height); // the canvas takes it at once
    return true;
}
