#include "HallPictures.h"

#include "Noise.h"
#include "PaintRandom.h"

#include <cmath>

namespace {

// The backdrop is seen from the front: the camera shows rows from about 30 down to the
// floor line, where the floor quad ends in front of it; the crowd hides the lowest rows.
const float hallWidth = 1024.0f;
const float floorLine = 399.0f; // row at which the floor meets the wall on screen
const float centreX = 512.0f;
const float corniceTop = 78.0f;
const float corniceBottom = 102.0f;
const float wainscotTop = 332.0f;

const Colour wallColour = rgb(0x4a2a2c);
const Colour woodColour = rgb(0x3a2416);
const Colour stoneColour = rgb(0x5a4a40);
const Colour goldColour = rgb(0xc89a48);

// Plaster with a soft mottle.
Paint plaster(const Colour& base, uint32_t seed) {
    return [=](float x, float y) {
        const float n = Noise::fractal(x / 40.0f, y / 40.0f, 3, seed);
        return shade(base, 0.8f + 0.35f * n);
    };
}

// Wood with grain running along y (vertical) or x.
Paint wood(const Colour& base, bool vertical, uint32_t seed) {
    return [=](float x, float y) {
        const float along = vertical ? y : x;
        const float across = vertical ? x : y;
        const float grain = Noise::fractal(across / 3.0f, along / 60.0f, 3, seed);
        return shade(base, 0.7f + 0.55f * grain);
    };
}

// Classical pilaster from the cornice to the floor line, a shaft with base and capital.
void paintPilaster(Raster& r, float cx) {
    const float half = 19.0f;
    const Paint fluted = [cx, half](float x, float y) {
        const float across = (x - cx) / half;
        const float flute = 0.5f + 0.5f * std::cos((x - cx) * 1.1f);
        const float n = Noise::fractal(x / 20.0f, y / 20.0f, 2, 7);
        return shade(stoneColour, (1.0f - 0.45f * across * across - 0.15f * across) *
                                      (0.8f + 0.2f * flute) * (0.85f + 0.3f * n));
    };
    r.fill(Shape::box(cx - half, corniceBottom, cx + half, floorLine), fluted);
    r.fill(Shape::box(cx - half - 6.0f, corniceBottom, cx + half + 6.0f, corniceBottom + 14.0f),
           shade(stoneColour, 1.1f));
    r.fill(Shape::box(cx - half - 4.0f, corniceBottom + 14.0f, cx + half + 4.0f,
                      corniceBottom + 20.0f),
           shade(stoneColour, 0.7f));
    r.fill(Shape::box(cx - half - 6.0f, wainscotTop - 4.0f, cx + half + 6.0f, floorLine),
           plaster(shade(stoneColour, 0.6f), 9));
    r.fill(Shape::box(cx - half - 6.0f, wainscotTop - 4.0f, cx + half + 6.0f, wainscotTop),
           shade(stoneColour, 0.9f));
}

// A tall arched window onto a night sky, with mullions and a faint moonlit glow.
void paintWindow(Raster& r, Raster& glow, float cx) {
    const float half = 42.0f;
    const float top = 150.0f;
    const float bottom = 318.0f;
    const Shape opening = Shape::box(cx - half, top + half, cx + half, bottom)
                              .unitedWith(Shape::circle(cx, top + half, half));
    r.fill(opening.grown(7.0f), shade(woodColour, 0.7f));
    r.fill(opening.grown(3.0f), shade(goldColour, 0.45f));
    const Paint sky = [cx, top, bottom](float x, float y) {
        const float t = (y - top) / (bottom - top);
        Colour c = mix(rgb(0x1a2844), rgb(0x0a101c), t);
        const float moon = std::exp(
            -((x - cx + 20.0f) * (x - cx + 20.0f) + (y - top - 40.0f) * (y - top - 40.0f)) /
            1800.0f);
        c = mix(c, rgb(0x50648a), moon * 0.45f);
        // A few faint stars.
        if (Noise::hash(static_cast<int>(x) / 2, static_cast<int>(y) / 2, 17) > 0.996f)
            c = mix(c, rgb(0xb0bcd8), 0.5f);
        return c;
    };
    r.fill(opening, sky);
    // Leaded panes: two mullions, four transoms.
    const Colour lead = rgb(0x141012);
    for (const float dx : {-14.0f, 14.0f})
        r.fill(Shape::box(cx + dx - 1.5f, top, cx + dx + 1.5f, bottom).intersectedWith(opening),
               lead);
    for (int i = 1; i <= 4; ++i) {
        const float y = top + half + static_cast<float>(i) * (bottom - top - half) / 5.0f;
        r.fill(Shape::box(cx - half, y - 1.5f, cx + half, y + 1.5f), lead);
    }
    r.fill(Shape::circle(cx, top + half, half - 14.0f)
               .without(Shape::circle(cx, top + half, half - 17.0f))
               .intersectedWith(opening),
           lead);
    r.fill(Shape::box(cx - half - 10.0f, bottom, cx + half + 10.0f, bottom + 10.0f),
           shade(stoneColour, 0.6f));
    glow.fill(opening, rgb(0x304468, 0.25f));
}

// A wall lamp: bracket, shade and a warm glow spread round it.
void paintSconce(Raster& r, Raster& glow, float cx, float cy) {
    r.fill(Shape::box(cx - 3.0f, cy, cx + 3.0f, cy + 26.0f, 2.0f), shade(goldColour, 0.6f));
    r.fill(Shape::circle(cx, cy + 26.0f, 5.0f), shade(goldColour, 0.7f));
    r.fill(Shape::polygon({{cx - 9.0f, cy - 14.0f},
                           {cx + 9.0f, cy - 14.0f},
                           {cx + 13.0f, cy + 2.0f},
                           {cx - 13.0f, cy + 2.0f}}),
           verticalGradient(cy - 14.0f, rgb(0xffe0a0), cy + 2.0f, rgb(0xe8a050)));
    glow.fill(Shape::circle(cx, cy - 4.0f, 26.0f), rgb(0xffb060, 0.9f));
    glow.fill(Shape::circle(cx, cy - 4.0f, 60.0f), rgb(0xff9040, 0.35f));
}

// A chandelier hanging from the ceiling: chain, two brass rings and a crown of candles.
void paintChandelier(Raster& r, Raster& glow, float cx) {
    r.fill(Shape::box(cx - 1.5f, 0.0f, cx + 1.5f, 58.0f), shade(goldColour, 0.5f));
    r.fill(Shape::ellipse(cx, 84.0f, 52.0f, 9.0f).without(Shape::ellipse(cx, 82.0f, 46.0f, 5.0f)),
           shade(goldColour, 0.8f));
    r.fill(Shape::ellipse(cx, 66.0f, 30.0f, 6.0f).without(Shape::ellipse(cx, 65.0f, 25.0f, 3.5f)),
           shade(goldColour, 0.8f));
    r.fill(Shape::polygon(
               {{cx - 6.0f, 58.0f}, {cx + 6.0f, 58.0f}, {cx + 3.0f, 100.0f}, {cx - 3.0f, 100.0f}}),
           shade(goldColour, 0.7f));
    r.fill(Shape::circle(cx, 102.0f, 5.0f), shade(goldColour, 0.8f));
    for (int i = -4; i <= 4; ++i) {
        const float x = cx + static_cast<float>(i) * 11.5f;
        const float ring = std::abs(i) <= 2 ? 60.0f : 78.0f;
        r.fill(Shape::box(x - 2.0f, ring - 6.0f, x + 2.0f, ring + 2.0f), rgb(0xf0e8d8));
        r.fill(Shape::ellipse(x, ring - 10.0f, 2.5f, 4.5f), rgb(0xfff0b0));
        glow.fill(Shape::circle(x, ring - 10.0f, 9.0f), rgb(0xffc070, 0.9f));
    }
    glow.fill(Shape::ellipse(cx, 75.0f, 90.0f, 50.0f), rgb(0xff9848, 0.3f));
}

// The stage in the middle: a gilded arch over closed red curtains lit by a spotlight.
void paintStage(Raster& r, Raster& glow) {
    const float half = 150.0f;
    const float top = 112.0f;
    const Shape arch =
        Shape::box(centreX - half, top + half * 0.6f, centreX + half, floorLine)
            .unitedWith(Shape::ellipse(centreX, top + half * 0.6f, half, half * 0.6f));
    r.fill(arch.grown(16.0f), wood(shade(woodColour, 0.8f), true, 23));
    r.fill(arch.grown(9.0f),
           verticalGradient(top, shade(goldColour, 1.0f), floorLine, shade(goldColour, 0.45f)));
    r.fill(arch.grown(3.0f), shade(goldColour, 0.35f));
    const Paint velvet = [](float x, float y) {
        const float fold = 0.5f + 0.5f * std::cos((x - centreX) * 0.21f + std::sin(y * 0.01f));
        const float deep = 0.5f + 0.5f * std::cos((x - centreX) * 0.055f);
        Colour c = shade(rgb(0x9a1822), 0.35f + 0.55f * fold * fold + 0.25f * deep);
        // The spotlight's pool on the curtain.
        const float dx = (x - centreX) / 90.0f;
        const float dy = (y - 300.0f) / 110.0f;
        const float spot = std::exp(-(dx * dx + dy * dy) * 1.5f);
        return shade(c, 1.0f + spot * 1.1f);
    };
    r.fill(arch, velvet);
    r.fill(Shape::box(centreX - 1.5f, top, centreX + 1.5f, floorLine).intersectedWith(arch),
           rgb(0x200408));
    // A scalloped pelmet with a gold fringe across the top of the opening.
    Shape pelmet = Shape::box(centreX - half, top, centreX + half, top + 58.0f);
    for (int i = 0; i < 7; ++i) {
        const float x = centreX - half + (static_cast<float>(i) + 0.5f) * (2.0f * half / 7.0f);
        pelmet = pelmet.unitedWith(Shape::ellipse(x, top + 58.0f, half / 7.0f, 12.0f));
    }
    pelmet = pelmet.intersectedWith(arch);
    r.fill(pelmet, [](float x, float y) {
        const float fold = 0.5f + 0.5f * std::cos(x * 0.3f);
        return shade(rgb(0x80141c), 0.55f + 0.3f * fold - (y - 112.0f) * 0.002f);
    });
    r.fill(pelmet.without(pelmet.grown(-3.0f))
               .intersectedWith(Shape::box(0.0f, top + 50.0f, hallWidth, top + 80.0f)),
           goldColour);
    // The stage's front edge and footlights.
    r.fill(Shape::box(centreX - half - 20.0f, 376.0f, centreX + half + 20.0f, floorLine),
           wood(woodColour, false, 29));
    r.fill(Shape::box(centreX - half - 20.0f, 374.0f, centreX + half + 20.0f, 378.0f),
           shade(goldColour, 0.6f));
    for (int i = 0; i < 9; ++i) {
        const float x =
            centreX - half + 15.0f + static_cast<float>(i) * (2.0f * half - 30.0f) / 8.0f;
        r.fill(Shape::ellipse(x, 372.0f, 6.0f, 3.0f), rgb(0xfff0c0));
        glow.fill(Shape::ellipse(x, 366.0f, 16.0f, 10.0f), rgb(0xffb060, 0.6f));
    }
    glow.fill(Shape::ellipse(centreX, 300.0f, 100.0f, 80.0f), rgb(0xff9850, 0.18f));
}

void paintCeilingAndCornice(Raster& r) {
    r.fill(Shape::box(0.0f, 0.0f, hallWidth, corniceTop), [](float x, float y) {
        // Coffers: dark squares between lighter beams, lit from below.
        const float beamX = std::fabs(std::fmod(x + 2000.0f, 82.0f) - 41.0f) > 35.0f ? 1.0f : 0.0f;
        const float beamY = std::fabs(std::fmod(y + 2000.0f, 40.0f) - 20.0f) > 15.0f ? 1.0f : 0.0f;
        const float beam = std::max(beamX, beamY);
        const float n = Noise::fractal(x / 30.0f, y / 30.0f, 2, 31);
        return shade(mix(rgb(0x1a1210), rgb(0x3a2a20), beam),
                     (0.6f + 0.5f * y / corniceTop) * (0.85f + 0.3f * n));
    });
    // Mouldings: bands of light and shade, with dentils along the middle.
    const struct Band {
        float top, bottom, light;
    } bands[] = {{78, 82, 0.9f}, {82, 86, 0.55f}, {86, 94, 0.8f}, {94, 97, 0.45f}, {97, 102, 1.0f}};
    for (const Band& b : bands)
        r.fill(Shape::box(0.0f, b.top, hallWidth, b.bottom),
               plaster(shade(stoneColour, b.light), 37));
    for (float x = 2.0f; x < hallWidth; x += 10.0f)
        r.fill(Shape::box(x, 87.0f, x + 5.0f, 93.0f), shade(stoneColour, 1.05f));
}

void paintWainscot(Raster& r) {
    r.fill(Shape::box(0.0f, wainscotTop, hallWidth, floorLine), wood(woodColour, false, 41));
    r.fill(Shape::box(0.0f, wainscotTop, hallWidth, wainscotTop + 6.0f), shade(woodColour, 1.4f));
    for (float x = 8.0f; x < hallWidth; x += 56.0f) {
        const Shape panel = Shape::box(x, wainscotTop + 14.0f, x + 44.0f, floorLine - 12.0f, 2.0f);
        r.fill(panel.grown(2.0f), shade(woodColour, 0.55f));
        r.fill(panel, wood(shade(woodColour, 1.15f), true, 43));
    }
    r.fill(Shape::box(0.0f, floorLine - 8.0f, hallWidth, floorLine), shade(woodColour, 0.6f));
    // Below the floor line the boards continue; the floor quad covers them on screen.
    r.fill(Shape::box(0.0f, floorLine, hallWidth, 680.0f),
           wood(shade(woodColour, 0.8f), false, 47));
}

} // namespace

Raster paintHall() {
    Raster r(1024, 680);
    Raster glow(1024, 680);
    r.fillAll(plaster(wallColour, 3));
    // A damask pattern on the upper walls.
    r.fill(Shape::box(0.0f, corniceBottom, hallWidth, wainscotTop), [](float x, float y) {
        const float px = std::fmod(x + 1000.0f, 36.0f) - 18.0f;
        const float py = std::fmod(y + 1000.0f, 48.0f) - 24.0f;
        const float motif = std::fabs(px) / 9.0f + std::fabs(py) / 16.0f < 1.0f ? 1.0f : 0.0f;
        return rgb(0x6a3c34, 0.18f * motif);
    });
    paintCeilingAndCornice(r);
    paintWainscot(r);
    for (const float side : {-1.0f, 1.0f}) {
        for (int bay = 0; bay < 3; ++bay) {
            const float pilasterX = centreX + side * (182.0f + 164.0f * static_cast<float>(bay));
            paintPilaster(r, pilasterX);
            paintSconce(r, glow, pilasterX, 236.0f);
            paintWindow(r, glow, pilasterX + side * 82.0f);
        }
        paintChandelier(r, glow, centreX + side * 300.0f);
    }
    paintStage(r, glow);

    // Glows are soft, so they are blurred at a quarter of the size.
    // A tight glow and a wide one are summed before they are laid on.
    const Raster smallGlow = glow.downsampled(4);
    Raster halo = smallGlow.blurred(3);
    halo.composite(smallGlow.blurred(10), 0, 0, 0.6f, Blend::Add);
    r.compositeScaled(halo, 4.0f, 0.9f, Blend::Add);
    // Dim the corners and the lowest rows, where the floor meets the wall.
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            const float dx = (static_cast<float>(x) - centreX) / 620.0f;
            const float dy = (static_cast<float>(y) - 230.0f) / 330.0f;
            const float vignette = 1.0f - 0.55f * (dx * dx + dy * dy);
            const float low = 1.0f - 0.4f * smoothstep(280.0f, floorLine, static_cast<float>(y));
            r.at(x, y) = shade(r.at(x, y), std::max(0.2f, vignette) * low * 0.75f);
        }
    }
    return r;
}

Raster paintFloor() {
    Raster r(512, 384);
    // Boards run toward the far end (picture top); each has its own shade and joints.
    const int boards = 48;
    const float boardWidth = 512.0f / static_cast<float>(boards);
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const int board = static_cast<int>(fx / boardWidth);
            const float inBoard = fx / boardWidth - static_cast<float>(board);
            const float offset = Noise::hash(board, 0, 51) * 120.0f;
            const float plankLength = 96.0f;
            const int plank = static_cast<int>((fy + offset) / plankLength);
            const float inPlank = (fy + offset) / plankLength - static_cast<float>(plank);
            const float tone = 0.75f + 0.45f * Noise::hash(board, plank, 53);
            const float grain =
                Noise::fractal(fx / 2.5f, fy / 40.0f + static_cast<float>(plank) * 7.0f, 3, 57);
            Colour c = shade(rgb(0x6a4428), tone * (0.7f + 0.5f * grain));
            // Soft seams between boards and faint joints at plank ends.
            const float seam = smoothstep(0.0f, 0.12f, std::min(inBoard, 1.0f - inBoard));
            const float joint = smoothstep(0.0f, 0.015f, std::min(inPlank, 1.0f - inPlank));
            c = shade(c, (0.45f + 0.55f * seam) * (0.7f + 0.3f * joint));
            // Warm light from the stage at the far end; darker toward the sides.
            const float across = (fx - 256.0f) / 256.0f;
            const float stage = std::exp(-(across * across * 3.0f + (fy / 160.0f) * (fy / 160.0f)));
            const float dim = (0.42f + 0.35f * stage) * (1.0f - 0.35f * across * across);
            r.at(x, y) = shade(c, dim);
        }
    }
    return r;
}
