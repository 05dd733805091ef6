#include "PngWriter.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

bool PngWriter::write(const std::string& path, const Raster& picture) {
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    // Made before the jump point below: a jump back must not skip its destructor.
    std::vector<uint8_t> row(static_cast<size_t>(picture.width()) * 4);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // libpng reports its failures by jumping back here.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
                 static_cast<png_uint_32>(picture.height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Colour& c = picture.at(x, y);
            const float channels[4] = {c.r, c.g, c.b, c.a};
            for (int k = 0; k < 4; ++k)
                row[static_cast<size_t>(x) * 4 + k] =
                    static_cast<uint8_t>(std::lround(clamp01(channels[k]) * 255.0f));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
