// The browser keeps its own full screen (its F11) and its own pictures of a page, and runs the
// page's frames at its own pace, paused or not.
#include "app/Platform.h"

void platform::toggleFullScreen() {}

void platform::savePicture(int32_t, int32_t) {}

void platform::restWhilePaused() {}
