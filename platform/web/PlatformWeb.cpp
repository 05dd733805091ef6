// The browser keeps its own full screen (its F11) and its own pictures of a page, and runs the
// page's frames at its own pace, paused or not. The page writes the pictures where the program
// reads them, and lays out the canvas, whose size is the window's.
#include "visit/Platform.h"

#include <GL/glut.h>

bool platform::findData(const std::string&, std::string& folder, std::string&) {
    folder.clear();
    return true;
}

void platform::windowSize(int32_t& width, int32_t& height) {
    width = glutGet(GLUT_WINDOW_WIDTH);
    height = glutGet(GLUT_WINDOW_HEIGHT);
}

void platform::glutStarted() {}

// Only the page can ask for the browser's full screen, at a person's click or key.
void platform::windowOpened(bool, bool) {}

void platform::toggleFullScreen() {}

void platform::savePicture(int32_t, int32_t) {}

void platform::restWhilePaused() {}

bool platform::sizeWindow(int32_t width, int32_t height) {
    if (width != glutGet(GLUT_WINDOW_WIDTH) || height != glutGet(GLUT_WINDOW_HEIGHT))
        glutReshapeWindow(width, height); // the canvas takes it at once
    return true;
}
