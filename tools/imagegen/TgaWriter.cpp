#include "TgaWriter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

namespace {

using Pixel = std::array<uint8_t, 4>; // blue, green, red, alpha: the order in the file

uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

// The pixels in file order: rows top first or bottom first, each row left to right.
std::vector<Pixel> filePixels(const Raster& picture, const TgaFormat& format) {
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<size_t>(picture.width()) * static_cast<size_t>(picture.height()));
    for (int row = 0; row < picture.height(); ++row) {
        const int y = format.topRowFirst ? row : picture.height() - 1 - row;
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            const uint8_t alpha = format.bitsPerPixel == 32 ? toByte(c.a) : 255;
            pixels.push_back({toByte(c.b), toByte(c.g), toByte(c.r), alpha});
        }
    }
    return pixels;
}

void putPixel(std::vector<uint8_t>& out, const Pixel& p, int bitsPerPixel) {
    out.insert(out.end(), p.begin(), p.begin() + bitsPerPixel / 8);
}

// Packets of at most 128 pixels over the whole picture as one sequence, crossing row ends;
// the last packet stops exactly at the last pixel.
void encodeRunLength(std::vector<uint8_t>& out, const std::vector<Pixel>& pixels,
                     int bitsPerPixel) {
    const size_t count = pixels.size();
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80u | (run - 1)));
            putPixel(out, pixels[i], bitsPerPixel);
            i += run;
            continue;
        }
        // A raw packet runs until two equal neighbours would start a run.
        size_t raw = 1;
        while (i + raw < count && raw < 128 &&
               !(i + raw + 1 < count && pixels[i + raw] == pixels[i + raw + 1]))
            ++raw;
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (size_t k = 0; k < raw; ++k)
            putPixel(out, pixels[i + k], bitsPerPixel);
        i += raw;
    }
}

void putWord(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xff));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
}

} // namespace

bool TgaWriter::write(const std::string& path, const Raster& picture, const TgaFormat& format) {
    std::vector<uint8_t> out;
    out.push_back(0); // no ID field
    out.push_back(0); // no colour map
    out.push_back(format.runLength ? 10 : 2);
    putWord(out, 0); // colour-map first index
    putWord(out, 0); // colour-map length
    out.push_back(0);
    putWord(out, 0); // x origin
    putWord(out, 0); // y origin
    putWord(out, picture.width());
    putWord(out, picture.height());
    out.push_back(static_cast<uint8_t>(format.bitsPerPixel));
    const uint8_t alphaBits = format.bitsPerPixel == 32 ? 8 : 0;
    out.push_back(static_cast<uint8_t>((format.topRowFirst ? 0x20 : 0x00) | alphaBits));

    const std::vector<Pixel> pixels = filePixels(picture, format);
    if (format.runLength) {
        encodeRunLength(out, pixels, format.bitsPerPixel);
    } else {
        for (const Pixel& p : pixels)
            putPixel(out, p, format.bitsPerPixel);
    }

    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}
