// Writes a painted picture as a TGA file in one of the layouts the program's reader takes:
// true colour, uncompressed or run-length encoded, 24 or 32 bits, either row order.
#pragma once

#include "Raster.h"

#include <string>

struct TgaFormat {
    bool runLength = false;   // image type 10 instead of 2
    bool topRowFirst = false; // descriptor bit 5: the first row in the file is the top row
    int bitsPerPixel = 32;    // 24 drops the alpha channel
};

class TgaWriter {
  public:
    // False when the file cannot be written.
    static bool write(const std::string& path, const Raster& picture, const TgaFormat& format);
};
