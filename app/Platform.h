// What the visit asks of the platform beyond GLUT's window: the desktop's answers are in
// platform/desktop/PlatformDesktop.cpp, the browser's in platform/web/PlatformWeb.cpp.
#pragma once

#include <cstdint>

namespace platform {

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
