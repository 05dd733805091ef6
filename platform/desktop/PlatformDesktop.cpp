#include "visit/Platform.h"

#include "platform/desktop/DataFolder.h"
#include "platform/desktop/Signals.h"
#include "platform/desktop/Snapshot.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {
constexpr auto pausedTurn = std::chrono::milliseconds(10); // a frame loop with nothing to draw
constexpr auto longestResize = std::chrono::seconds(3);    // a window manager's answer, at most
constexpr int32_t windowWidth = 1024;                      // pixels
constexpr int32_t windowHeight = 512;

bool sized(int32_t width, int32_t height) {
    return glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height;
}
} // namespace

bool platform::findData(const std::string& given, std::string& folder, std::string& error) {
    return findDataFolder(given, executablePath(), folder, error);
}

void platform::windowSize(int32_t& width, int32_t& height) {
    width = windowWidth;
    height = windowHeight;
}

void platform::glutStarted() {
#if defined(__SANITIZE_ADDRESS__)
    // Sanitized builds look for leaks before GLUT's exit handling unloads the GL driver.
    std::atexit([] { __lsan_do_leak_check(); });
#endif
}

void platform::windowOpened(bool fullScreen, bool hidePointer) {
    if (fullScreen)
        glutFullScreen();
    if (hidePointer)
        glutSetCursor(GLUT_CURSOR_NONE);
}

void platform::toggleFullScreen() {
    // GLUT keeps the window's size and brings it back on the way out.
    if (glutGet(GLUT_FULL_SCREEN))
        glutLeaveFullScreen();
    else
        glutFullScreen();
}

void platform::savePicture(int32_t width, int32_t height) {
    std::vector<uint8_t> pixels;
    readDrawnFrame(width, height, pixels);
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    localtime_r(&now, &when);
    const std::string pictures = picturesFolder(
        std::getenv("XDG_PICTURES_DIR"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    std::string path;
    std::string error;
    const WritingFile writing;
    if (saveSnapshot(pictures, when, width, height, pixels, path, error))
        std::fprintf(stderr, "throngwick: picture saved as %s\n", path.c_str());
    else
        std::fprintf(stderr, "throngwick: %s\n", error.c_str());
}

void platform::restWhilePaused() {
    std::this_thread::sleep_for(pausedTurn);
}

bool platform::sizeWindow(int32_t width, int32_t height) {
    if (sized(width, height))
        return true;
    // GLUT asks X on its next turn, and X answers later still: a frame drawn meanwhile would
    // have the old size, and the new part of it read back would be whatever memory held.
    glutReshapeWindow(width, height);
    const auto deadline = std::chrono::steady_clock::now() + longestResize;
    while (std::chrono::steady_clock::now() < deadline) {
        glutMainLoopEvent();
        if (sized(width, height))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
