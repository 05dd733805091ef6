// TGA files built byte by byte, for the reader's and the registry's tests and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The 18 header fields, the five most set first; sizes are words, so 65535 and -1 are the same
// field.
struct TgaHeader {
    uint8_t imageType = 2;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 32;
    uint8_t descriptor = 0x20; // bit 5: top row first
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
};

// The header's bytes, then body.
Bytes tgaBytes(const TgaHeader& header, const Bytes& body = {});
// An uncompressed 32-bit picture, top row first, from RGBA bytes.
Bytes rgbaPicture(uint16_t width, uint16_t height, const Bytes& rgba);
// A picture of one colour.
Bytes solidPicture(uint16_t width, uint16_t height, uint8_t r, uint8_t g, uint8_t b,
                   uint8_t a = 255);
void writeFile(const std::string& path, const Bytes& bytes);
