#include "assets/TgaImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <new>
#include <string>
#include <sys/stat.h>

namespace {

constexpr size_t headerBytes = 18;

// End of file is not detected: a byte past the end reads as 255. The file belongs to this one
// thread, so the stream's lock is not taken for every byte.
uint8_t readByte(FILE* file) {
    const int c = getc_unlocked(file);
    return c == EOF ? 255 : static_cast<uint8_t>(c);
}

int16_t readInt16(FILE* file) {
    const uint8_t low = readByte(file);
    const uint8_t high = readByte(file);
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

// Past the end nothing is left to skip: every later byte reads as 255 anyway.
void skipBytes(FILE* file, size_t count) {
    for (size_t k = 0; k < count; ++k)
        if (getc_unlocked(file) == EOF)
            return;
}

// Reads one file pixel (blue, green, red and, at depth 32, alpha) and stores it as R, G, B, A.
void readColour(FILE* file, uint8_t fileBitsPerPixel, uint8_t* out) {
    const uint8_t blue = readByte(file);
    const uint8_t green = readByte(file);
    const uint8_t red = readByte(file);
    const uint8_t alpha = fileBitsPerPixel == 32 ? readByte(file) : 255;
    out[0] = red;
    out[1] = green;
    out[2] = blue;
    out[3] = alpha;
}

// Types 2 and 3: the depth alone decides the layout.
void decodeRaw(FILE* file, uint8_t fileBitsPerPixel, size_t pixelCount, uint8_t* pixels) {
    for (size_t p = 0; p < pixelCount; ++p) {
        if (fileBitsPerPixel == 8)
            pixels[p] = readByte(file);
        else
            readColour(file, fileBitsPerPixel, pixels + 4 * p);
    }
}

// Type 10 at depth 24 or 32: packets run over the whole picture and may cross row ends.
void decodeRunLength(FILE* file, uint8_t fileBitsPerPixel, size_t pixelCount, uint8_t* pixels) {
    size_t p = 0;
    while (p < pixelCount) {
        const uint8_t header = readByte(file);
        // A packet that runs past the last pixel stops there; its remaining bytes are not read.
        const size_t count = std::min<size_t>((header & 0x7f) + 1, pixelCount - p);
        if (header & 0x80) {
            uint8_t colour[4];
            readColour(file, fileBitsPerPixel, colour);
            for (size_t k = 0; k < count; ++k, ++p)
                std::copy(colour, colour + 4, pixels + 4 * p);
        } else {
            for (size_t k = 0; k < count; ++k, ++p)
                readColour(file, fileBitsPerPixel, pixels + 4 * p);
        }
    }
}

// Swapping rows in place gives the same picture as copying them reversed into a second buffer.
void flipRows(uint8_t* pixels, size_t rowBytes, size_t rows) {
    for (size_t top = 0, bottom = rows; top + 1 < bottom; ++top, --bottom)
        std::swap_ranges(pixels + top * rowBytes, pixels + (top + 1) * rowBytes,
                         pixels + (bottom - 1) * rowBytes);
}

} // namespace

TgaImage::~TgaImage() {
    release();
}

bool TgaImage::load(const char* path, int32_t maxSide) {
    if (pixels)
        return true;
    refusal.clear();
    FILE* const file = fopen(path, "rb");
    if (!file)
        return false;
    struct stat status {};
    const size_t fileBytes =
        fstat(fileno(file), &status) == 0 ? static_cast<size_t>(status.st_size) : 0;

    idLength = readByte(file);
    colourMapType = readByte(file);
    imageType = readByte(file);
    colourMapFirstIndex = readInt16(file);
    colourMapLength = readInt16(file);
    colourMapEntrySize = readByte(file);
    xOrigin = readInt16(file);
    yOrigin = readInt16(file);
    fileWidth = readInt16(file);
    fileHeight = readInt16(file);
    fileBitsPerPixel = readByte(file);
    imageDescriptor = readByte(file);

    auto refuse = [&](const std::string& reason) {
        refusal = reason;
        fclose(file);
        return false;
    };
    // Only a refusal needs the size as words.
    const auto size = [this] {
        return std::to_string(fileWidth) + " x " + std::to_string(fileHeight);
    };
    if (imageType != 2 && imageType != 3 && imageType != 10)
        return refuse("image type " + std::to_string(imageType) + " (2, 3 and 10 are read)");
    if (fileBitsPerPixel != 8 && fileBitsPerPixel != 24 && fileBitsPerPixel != 32)
        return refuse(std::to_string(fileBitsPerPixel) + " bits a pixel (8, 24 and 32 are read)");
    // Run-length packets carry colour pixels; an 8-bit buffer has no room for them.
    if (imageType == 10 && fileBitsPerPixel == 8)
        return refuse("run-length data at 8 bits a pixel");
    if (fileWidth < 0 || fileHeight < 0)
        return refuse("a negative size, " + size());
    if (fileWidth > maxSide || fileHeight > maxSide)
        return refuse(size() + " pixels, more than the graphics library's largest side of " +
                      std::to_string(maxSide));

    // The colour-map length is an unsigned count in the file, whatever the field's type.
    const size_t colourMapBytes =
        colourMapType == 1
            ? size_t{static_cast<uint16_t>(colourMapLength)} * ((colourMapEntrySize + 7u) / 8u)
            : 0;
    const size_t pixelCount = static_cast<size_t>(fileWidth) * static_cast<size_t>(fileHeight);
    const size_t filePixelBytes = fileBitsPerPixel / 8u;
    // A header of a few bytes must not cost gigabytes: the file's own length bounds what it can
    // hold, checked before anything is allocated.
    const size_t dataOffset = headerBytes + idLength + colourMapBytes;
    const size_t dataBytes = fileBytes > dataOffset ? fileBytes - dataOffset : 0;
    if (imageType != 10 && dataBytes < pixelCount * filePixelBytes)
        return refuse("the file holds " + std::to_string(fileBytes) + " bytes, its " + size() +
                      " pixels need " + std::to_string(dataOffset + pixelCount * filePixelBytes));
    // A run-length packet of 1 + depth bytes gives at most 128 pixels (one more packet for a
    // file cut short inside its last one).
    const size_t runLengthLimit = (dataBytes / (1 + filePixelBytes) + 1) * 128;
    if (imageType == 10 && pixelCount > runLengthLimit)
        return refuse("its " + std::to_string(dataBytes) + " bytes of run-length data cannot " +
                      "describe " + size() + " pixels");
    skipBytes(file, idLength + colourMapBytes);

    const size_t bytesPerPixel = fileBitsPerPixel == 8 ? 1 : 4;
    // A picture of 0 pixels still gets a (zero-byte) buffer, so it counts as loaded.
    uint8_t* const decoded = new (std::nothrow) uint8_t[pixelCount * bytesPerPixel];
    if (!decoded)
        return refuse("no memory for " + size() + " pixels");
    if (imageType == 10)
        decodeRunLength(file, fileBitsPerPixel, pixelCount, decoded);
    else
        decodeRaw(file, fileBitsPerPixel, pixelCount, decoded);
    fclose(file);

    // Without bit 5 the first row in the file is the bottom row.
    if (!(imageDescriptor & 0x20))
        flipRows(decoded, static_cast<size_t>(fileWidth) * bytesPerPixel,
                 static_cast<size_t>(fileHeight));

    width = fileWidth;
    height = fileHeight;
    bitsPerPixel = static_cast<int32_t>(bytesPerPixel * 8);
    pixels = decoded;
    return true;
}

bool TgaImage::release() {
    if (!pixels)
        return false;
    delete[] pixels;
    pixels = nullptr;
    return true;
}
