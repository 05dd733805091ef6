// The program's start-up, the same on the desktop and in the browser: the options, the visit
// (replayed, recorded, played by itself), the seed and the window's size, GLUT and the window,
// the scene, the callbacks, then the frame loop. What differs is asked of the platform
// (visit/Platform.h): where the pictures and sounds are, the window's first size, full screen.
#pragma once

// main's whole work; its exit status. Bad options and unreadable recordings are refused with
// one line on standard error and status 2, before any window opens.
int startUp(int argc, char** argv);
