// Lays text into a picture with FreeType from one TrueType font; the font file is opened
// once and the glyphs are rendered anti-aliased at any pixel size.
#pragma once

#include "Raster.h"

#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

class TextPainter {
    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr; // none when the font did not open

  public:
    explicit TextPainter(const std::string& fontPath);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // False when FreeType or the font could not be opened; drawing then does nothing.
    bool ready() const { return face_ != nullptr; }
    // Advance width of the text in pixels, kerning included.
    float measure(const std::string& text, int pixelSize);
    // Draws the text with its baseline at y, starting at x (pixels).
    void draw(Raster& target, const std::string& text, float x, float baseline, int pixelSize,
              const Paint& paint, Blend blend = Blend::Over);
    void drawCentred(Raster& target, const std::string& text, float centreX, float baseline,
                     int pixelSize, const Paint& paint, Blend blend = Blend::Over);

  private:
    // Walks the glyphs; with a target it also paints them.
    float layout(Raster* target, const std::string& text, float x, float baseline, int pixelSize,
                 const Paint* paint, Blend blend);
};
