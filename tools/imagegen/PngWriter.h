// Writes a painted picture as an 8-bit RGBA PNG file (the desktop icon).
#pragma once

#include "Raster.h"

#include <string>

class PngWriter {
  public:
    // False when the file cannot be written.
    static bool write(const std::string& path, const Raster& picture);
};
