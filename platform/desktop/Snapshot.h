// The pictures F12 saves: the frame on screen as a PNG file in the user's pictures folder, under
// Throngwick/throngwick-YYYYMMDD-HHMMSS.png, never over a file that is already there; and the
// PNG writing a replay's frames share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

// The pictures folder as the desktop names it: XDG_PICTURES_DIR, else its line in user-dirs.dirs
// (in XDG_CONFIG_HOME, else ~/.config), else ~/Pictures. Each argument is the environment's
// variable, null when unset; a relative path counts as unset. Empty without any of them.
std::string picturesFolder(const char* picturesDir, const char* configHome, const char* home);
// The name of a picture taken at when; the second and later of the same second end in -2, -3, ...
std::string snapshotName(const std::tm& when, int32_t attempt);
// Writes pixels (RGB, bottom row first) as a new file in pictures/Throngwick/, made if missing:
// the file's path, or false with one line naming the problem.
bool saveSnapshot(const std::string& pictures, const std::tm& when, int32_t width, int32_t height,
                  const std::vector<uint8_t>& pixels, std::string& path, std::string& error);

// The drawn, not yet swapped frame of width by height pixels as RGB, bottom row first.
void readDrawnFrame(int32_t width, int32_t height, std::vector<uint8_t>& pixels);
// Pixels as readDrawnFrame gives them into an open file as PNG, top row first, and closes it;
// fast: less compression. False with the reason.
bool writePng(FILE* file, int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
              bool fast, std::string& error);
