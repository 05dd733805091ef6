// A picture being painted: width by height straight-alpha colours, top row first, with the
// operations the pictures are built from (filled shapes, layers, blur, alpha clean-up).
#pragma once

#include "Colour.h"
#include "Shape.h"

#include <functional>
#include <vector>

// The colour a fill puts at a pixel centre (x, y in pixels).
using Paint = std::function<Colour(float, float)>;

Paint solid(const Colour& colour);
// From colour top at y0 to colour bottom at y1, held beyond both.
Paint verticalGradient(float y0, const Colour& top, float y1, const Colour& bottom);
Paint horizontalGradient(float x0, const Colour& left, float x1, const Colour& right);
// From inner at the centre to outer at radius and beyond.
Paint radialGradient(float cx, float cy, float radius, const Colour& inner, const Colour& outer);

enum class Blend {
    Over,  // the paint covers what is there, adding to its opacity
    Atop,  // the paint tints what is there and never changes its opacity
    Add,   // the paint's light is added to the colour; opacity unchanged
    Erase, // the paint's opacity is taken away from what is there
};

class Raster {
    int width_;
    int height_;
    std::vector<Colour> pixels_; // top row first, left to right

  public:
    Raster(int width, int height, const Colour& background = Colour{});

    int width() const { return width_; }
    int height() const { return height_; }
    const Colour& at(int x, int y) const { return pixels_[index(x, y)]; }
    Colour& at(int x, int y) { return pixels_[index(x, y)]; }

    void fill(const Shape& shape, const Paint& paint, Blend blend = Blend::Over);
    void fill(const Shape& shape, const Colour& colour, Blend blend = Blend::Over) {
        fill(shape, solid(colour), blend);
    }
    void fillAll(const Paint& paint, Blend blend = Blend::Over);
    // Mixes one colour into one pixel with the given coverage (0 to 1).
    void blendPixel(int x, int y, const Colour& colour, float coverage, Blend blend);

    // Lays layer over this picture with its top left corner at (dx, dy).
    void composite(const Raster& layer, int dx, int dy, float opacity = 1.0f,
                   Blend blend = Blend::Over);
    // Lays layer over this picture magnified by scale, sampled bilinearly: glows are blurred
    // small and laid on large.
    void compositeScaled(const Raster& layer, float scale, float opacity, Blend blend);
    // A copy blurred with three passes of a box of the given radius in pixels.
    Raster blurred(int radius) const;
    // A copy factor times smaller, each pixel the average of a factor by factor block.
    Raster downsampled(int factor) const;
    // Bilinear sample at a point in pixels (pixel centres at +0.5); transparent outside.
    Colour sample(float x, float y) const;

    // Alpha becomes exactly 0 or 1, cut at threshold: pictures drawn with a high alpha test.
    void hardenAlpha(float threshold = 0.5f);
    // Darkens the opaque figure toward its outline, over width pixels, for a little volume.
    void shadeRim(float width, float darkness);
    // Transparent pixels take the colour of nearby opaque ones, so filtering at the
    // outline does not pull in black.
    void bleedColour(int passes);
    void flipHorizontal();

  private:
    int index(int x, int y) const { return y * width_ + x; }
};
