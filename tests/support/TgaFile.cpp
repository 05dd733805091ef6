#include "support/TgaFile.h"

#include <fstream>

namespace {
void writeHeader(std::ofstream& out, uint8_t type, int width, int height, uint8_t depth) {
    const uint8_t header[18] = {0,
                                0,
                                type,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                static_cast<uint8_t>(width & 0xff),
                                static_cast<uint8_t>(width >> 8),
                                static_cast<uint8_t>(height & 0xff),
                                static_cast<uint8_t>(height >> 8),
                                depth,
                                0x20};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
}
} // namespace

void writeRgbaTga(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
    std::ofstream out(path, std::ios::binary);
    writeHeader(out, 2, width, height, 32);
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const char bgra[4] = {static_cast<char>(rgba[i + 2]), static_cast<char>(rgba[i + 1]),
                              static_cast<char>(rgba[i]), static_cast<char>(rgba[i + 3])};
        out.write(bgra, 4);
    }
}

void writeGreyTga(const std::string& path, int width, int height) {
    std::ofstream out(path, std::ios::binary);
    writeHeader(out, 3, width, height, 8);
    for (int i = 0; i < width * height; ++i)
        out.put(static_cast<char>(i));
}
