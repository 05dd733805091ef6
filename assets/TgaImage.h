// One decoded TGA picture: the file's header as read and an owned pixel buffer,
// RGBA (or one byte per pixel for 8-bit files), top row first.
#pragma once

#include <cstdint>
#include <string>

class TgaImage {
  public:
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 0; // 2, 3 or 10 for a picture that loads
    int16_t colourMapFirstIndex = 0;
    int16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0; // bits per colour-map entry
    int16_t xOrigin = 0;
    int16_t yOrigin = 0;
    int16_t fileWidth = 0;        // pixels per row
    int16_t fileHeight = 0;       // rows
    uint8_t fileBitsPerPixel = 0; // 8, 24 or 32 for a picture that loads
    uint8_t imageDescriptor = 0;  // bit 5 set: the first row in the file is the top row
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0; // layout of pixels: 8 (one byte) or 32 (R, G, B, A)
    uint8_t* pixels = nullptr;
    std::string refusal; // why the last load refused an existing file; empty otherwise

    TgaImage() = default;
    TgaImage(const TgaImage&) = delete;
    TgaImage& operator=(const TgaImage&) = delete;
    ~TgaImage();

    // True when the image holds a decoded picture afterwards; true at once if it already does.
    // maxSide: the longest side taken, the graphics library's largest texture side.
    bool load(const char* path, int32_t maxSide = 16384);
    // Frees the pixels; false if there were none.
    bool release();
};
