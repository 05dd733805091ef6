#include "TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

TextPainter::TextPainter(const std::string& fontPath) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return;
    library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0)
        return;
    face_ = face;
}

TextPainter::~TextPainter() {
    if (face_)
        FT_Done_Face(face_);
    if (library_)
        FT_Done_FreeType(library_);
}

float TextPainter::measure(const std::string& text, int pixelSize) {
    return layout(nullptr, text, 0.0f, 0.0f, pixelSize, nullptr, Blend::Over);
}

void TextPainter::draw(Raster& target, const std::string& text, float x, float baseline,
                       int pixelSize, const Paint& paint, Blend blend) {
    layout(&target, text, x, baseline, pixelSize, &paint, blend);
}

void TextPainter::drawCentred(Raster& target, const std::string& text, float centreX,
                              float baseline, int pixelSize, const Paint& paint, Blend blend) {
    draw(target, text, centreX - measure(text, pixelSize) * 0.5f, baseline, pixelSize, paint,
         blend);
}

float TextPainter::layout(Raster* target, const std::string& text, float x, float baseline,
                          int pixelSize, const Paint* paint, Blend blend) {
    if (!face_)
        return 0.0f;
    const FT_Face face = face_;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    float pen = x;
    FT_UInt previous = 0;
    // The texts are plain ASCII, so each byte is one character.
    for (const char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(ch));
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<float>(kern.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, glyph, target ? FT_LOAD_RENDER : FT_LOAD_DEFAULT) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        if (target) {
            const FT_Bitmap& bitmap = slot->bitmap;
            const int left = static_cast<int>(std::lround(pen)) + slot->bitmap_left;
            const int top = static_cast<int>(std::lround(baseline)) - slot->bitmap_top;
            for (unsigned row = 0; row < bitmap.rows; ++row)
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    const unsigned char value =
                        bitmap.buffer[static_cast<int>(row) * bitmap.pitch + static_cast<int>(col)];
                    if (value == 0)
                        continue;
                    const int px = left + static_cast<int>(col);
                    const int py = top + static_cast<int>(row);
                    target->blendPixel(
                        px, py,
                        (*paint)(static_cast<float>(px) + 0.5f, static_cast<float>(py) + 0.5f),
                        static_cast<float>(value) / 255.0f, blend);
                }
        }
        pen += static_cast<float>(slot->advance.x) / 64.0f;
        previous = glyph;
    }
    return pen - x;
}
