// What start-up and the visit ask of the platform beyond GLUT's window: the desktop's answers are
// in platform/desktop/PlatformDesktop.cpp, the browser's in platform/web/PlatformWeb.cpp.
#pragma once

#include <cstdint>

#include <string>

namespace platform {

// Start-up's questions, in the order it asks them (visit/StartUp.cpp).
// The folder holding image_data/ and audio/, from --data (given) or the usual places; empty: the
// working folder. False with a one-line error when the given folder cannot be used.
bool findData(const std::string& given, std::string& folder, std::string& error);
// The window's size when no replay gives one, in pixels.
void windowSize(int32_t& width, int32_t& height);
// Just after glutInit.
void glutStarted();
// The window is open: it fills the screen, and shows no pointer, when asked.
void windowOpened(bool fullScreen, bool hidePointer);

// F11: full screen, or back to the window's size before it.
void toggleFullScreen();
// F12: the drawn, not yet swapped frame of width by height pixels kept as a picture; one line on
// standard error says where, or why not.
void savePicture(int32_t width, int32_t height);
// A turn of the frame loop while paused, when nothing is drawn: time for the rest of the machine.
void restWhilePaused();
// A replay's window given the recorded size before its next frame is drawn; false when it has
// not taken that size within a few seconds.
bool sizeWindow(int32_t width, int32_t height);

} // namespace platform
