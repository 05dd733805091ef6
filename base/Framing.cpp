#include "base/Framing.h"

#include <cstring>

void copyFramed(const std::vector<uint8_t>& rgba, int32_t width, int32_t height,
                std::vector<uint8_t>& out, int32_t outWidth, int32_t x, int32_t y) {
    for (int32_t row = -frameBorder; row < height + frameBorder; ++row) {
        const int32_t sourceRow = (row + height) % height;
        for (int32_t column = -frameBorder; column < width + frameBorder; ++column) {
            const int32_t sourceColumn = (column + width) % width;
            std::memcpy(&out[(static_cast<size_t>(y + row) * outWidth + x + column) * 4],
                        &rgba[(static_cast<size_t>(sourceRow) * width + sourceColumn) * 4], 4);
        }
    }
}
