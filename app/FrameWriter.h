// Writes each drawn frame of a replay as a numbered PNG file (frame-000001.png, ...) into a
// folder that is proved writable before the first frame. Reads the back buffer only. The PNG
// writing is shared with the pictures F12 saves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class FrameWriter {
  public:
    std::string folder;      // absolute, so a later change of the working folder does not matter
    uint32_t framesDone = 0; // files written

    // Makes the folder if it is missing and writes and removes a probe file in it.
    bool open(const std::string& path, std::string& error);
    // The drawn, not yet swapped frame of width by height pixels, as the next file.
    bool write(int32_t width, int32_t height, std::string& error);

  private:
    std::vector<uint8_t> pixels; // bottom row first, as GL reads them
};

// The drawn, not yet swapped frame of width by height pixels as RGB, bottom row first.
void readDrawnFrame(int32_t width, int32_t height, std::vector<uint8_t>& pixels);
// Pixels as readDrawnFrame gives them into an open file as PNG, top row first, and closes it;
// fast: less compression. False with the reason.
bool writePng(FILE* file, int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
              bool fast, std::string& error);
