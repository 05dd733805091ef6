// Writes small pictures as TGA files for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An uncompressed 32-bit picture, top row first; rgba holds width * height * 4 bytes.
void writeRgbaTga(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
// An uncompressed 8-bit greyscale picture (type 3).
void writeGreyTga(const std::string& path, int width, int height);
