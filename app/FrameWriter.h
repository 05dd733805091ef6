// Writes each drawn frame of a replay as a numbered PNG file (frame-000001.png, ...) into a
// folder that is proved writable before the first frame. Reads the back buffer only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FrameWriter {
  public:
    std::string folder;      // absolute, so a later change of the working folder does not matter
    uint32_t framesDone = 0; // files written

    // Makes the folder if it is missing and writes and removes a probe file in it.
    bool open(const std::string& path, std::string& error);
    // The drawn, not yet swapped frame of width by height pixels, as the next file; before the
    // first, the folder's frames of an earlier film are removed.
    bool write(int32_t width, int32_t height, std::string& error);

  private:
    std::vector<uint8_t> pixels; // bottom row first, as GL reads them
};
