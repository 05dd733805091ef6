#include "ScreenPictures.h"

#include "Noise.h"
#include "PaintRandom.h"
#include "base/CardLayout.h"

#include <cmath>
#include <string>

namespace {

// The title shows the backdrop from this row down; the backdrop's floor line (row 399) then
// falls at row 371, and the eye's horizon (row 297) at 269.
const int hallRowOffset = 28;
const float titleFloorLine = 371.0f;
const float titleHorizon = 269.0f;

// Floor boards in perspective below the backdrop, converging on the horizon.
void paintTitleFloor(Raster& r) {
    for (int y = static_cast<int>(titleFloorLine); y < r.height(); ++y) {
        const float depth = 6000.0f / (static_cast<float>(y) + 0.5f - titleHorizon);
        for (int x = 0; x < r.width(); ++x) {
            const float across = (static_cast<float>(x) + 0.5f - 512.0f) * depth / 600.0f;
            const float boards = across / 8.0f;
            const int board = static_cast<int>(std::floor(boards));
            const float inBoard = boards - static_cast<float>(board);
            const float grain = Noise::fractal(across * 0.8f, depth * 0.05f, 2, 5);
            const float tone = 0.75f + 0.4f * Noise::hash(board, 0, 7);
            const float seam = smoothstep(0.0f, 0.1f, std::min(inBoard, 1.0f - inBoard));
            const float light = std::exp(-across * across / 9000.0f) * 0.6f + 0.25f;
            const float fade =
                smoothstep(titleFloorLine, titleFloorLine + 30.0f, static_cast<float>(y));
            const Colour wood =
                shade(rgb(0x5a3a22), tone * (0.7f + 0.5f * grain) * (0.5f + 0.5f * seam) * light);
            r.at(x, y) = mix(shade(rgb(0x2a1a12), 0.8f), wood, 0.3f + 0.7f * fade);
        }
    }
}

// One waiting figure seen from behind the stage light: head, neck and shoulders, with a few
// of the crowd's hats and hair-dos, rimmed by warm light on the side facing the stage.
void paintFigure(Raster& r, float x, float y, float size, int style, float rimStrength) {
    const float s = size;
    Shape figure = Shape::circle(x, y, 0.5f * s)
                       .unitedWith(Shape::box(x - 0.2f * s, y, x + 0.2f * s, y + 0.9f * s))
                       .unitedWith(Shape::box(x - 0.95f * s, y + 0.75f * s, x + 0.95f * s,
                                              y + 4.0f * s, 0.45f * s));
    switch (style) {
    case 1: // top hat
        figure =
            figure.unitedWith(Shape::box(x - 0.38f * s, y - 1.25f * s, x + 0.38f * s, y - 0.3f * s))
                .unitedWith(Shape::ellipse(x, y - 0.32f * s, 0.75f * s, 0.1f * s));
        break;
    case 2: // bun
        figure = figure.unitedWith(Shape::circle(x, y - 0.62f * s, 0.3f * s));
        break;
    case 3: // curls
        figure = figure.unitedWith(Shape::circle(x, y - 0.2f * s, 0.72f * s));
        break;
    case 4: // beret
        figure =
            figure.unitedWith(Shape::ellipse(x + 0.1f * s, y - 0.38f * s, 0.62f * s, 0.22f * s));
        break;
    default:
        break;
    }
    const float towardStage = x < 512.0f ? 1.0f : -1.0f;
    Shape rim = figure;
    const float shift = std::max(1.0f, 0.06f * s);
    rim.distance = [inner = figure.distance, shift, towardStage](float px, float py) {
        return inner(px - shift * towardStage, py + shift);
    };
    rim.left -= shift;
    rim.right += shift;
    rim.top -= shift;
    r.fill(rim, rgb(0xffb868, rimStrength));
    r.fill(figure, rgb(0x0c0908));
}

void paintCrowd(Raster& r) {
    PaintRandom random(2024);
    // Back rows first, smaller and hazier; the front row runs off the bottom edge. Neighbours
    // overlap at the shoulders, as in a packed hall.
    const struct Row {
        float y, size, rim;
    } rows[] = {{396.0f, 8.0f, 0.25f},
                {412.0f, 11.0f, 0.3f},
                {434.0f, 15.0f, 0.4f},
                {464.0f, 21.0f, 0.5f},
                {500.0f, 29.0f, 0.6f}};
    for (const Row& row : rows) {
        float x = -20.0f + random.uniform(0.0f, row.size);
        while (x < 1044.0f) {
            const float size = row.size * random.uniform(0.85f, 1.15f);
            paintFigure(r, x, row.y + random.uniform(-0.3f, 0.3f) * row.size, size, random.below(6),
                        row.rim);
            x += size * random.uniform(1.3f, 2.1f);
        }
    }
}

// Text with a soft dark shadow and a warm glow behind it. Shadow and glow are blurred in a
// band just tall enough for the text, not over the whole picture.
void paintGlowingText(Raster& r, TextPainter& font, const std::string& text, float baseline,
                      int size, const Paint& paint, const Colour& glowColour, int glowRadius) {
    const int margin = glowRadius * 3 + size / 8;
    const int bandTop = static_cast<int>(baseline) - size - margin;
    const int bandHeight = size * 3 / 2 + 2 * margin;
    const float bandBaseline = baseline - static_cast<float>(bandTop);
    Raster shadow(r.width(), bandHeight);
    font.drawCentred(shadow, text, 512.0f, bandBaseline, size, solid(rgb(0x000000)));
    r.composite(shadow.blurred(std::max(2, size / 24)), size / 30, bandTop + size / 24, 0.85f);
    Raster glow(r.width(), bandHeight);
    font.drawCentred(glow, text, 512.0f, bandBaseline, size, solid(glowColour));
    r.composite(glow.blurred(glowRadius), 0, bandTop, 0.5f, Blend::Add);
    font.drawCentred(r, text, 512.0f, baseline, size, paint);
}

} // namespace

Raster paintTitle(const Raster& hall, TextPainter& bold, TextPainter& regular,
                  const char* invitation) {
    Raster r(1024, 512);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            r.at(x, y) = hall.at(x, std::min(hall.height() - 1, y + hallRowOffset));
    paintTitleFloor(r);
    // Dim the hall behind the words, leaving a soft beam of light from above the stage.
    const Colour beamColour = rgb(0xfff0d0);
    for (int y = 0; y < r.height(); ++y) {
        const float fy = static_cast<float>(y) + 0.5f;
        for (int x = 0; x < r.width(); ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - 512.0f) / 300.0f;
            const float wide = std::exp(-dx * dx * 2.0f) * (1.0f - fy / 700.0f);
            const float narrow = std::exp(-dx * dx * 7.4f) * smoothstep(512.0f, 0.0f, fy);
            Colour& c = r.at(x, y);
            c = mix(shade(c, 0.5f + 0.35f * wide), beamColour, 0.12f * narrow);
        }
    }
    paintCrowd(r);

    const std::string title = "Throngwick";
    int size = 150;
    while (size > 40 && bold.measure(title, size) > 780.0f)
        size -= 2;
    paintGlowingText(r, bold, title, 222.0f, size,
                     verticalGradient(222.0f - static_cast<float>(size) * 0.75f, rgb(0xfff0b8),
                                      222.0f, rgb(0xd08a2c)),
                     rgb(0xff9a40), 10);
    // A thin rule with a diamond between the name and the invitation.
    r.fill(Shape::box(352.0f, 262.0f, 672.0f, 263.5f), rgb(0xd8b070, 0.8f));
    r.fill(
        Shape::polygon({{512.0f, 255.0f}, {520.0f, 262.75f}, {512.0f, 270.5f}, {504.0f, 262.75f}}),
        rgb(0xe8c080));
    paintGlowingText(r, regular, invitation, 316.0f, 34, solid(rgb(0xf4e6cc)), rgb(0xffb060), 6);
    return r;
}

Raster paintOptionCard(TextPainter& bold, TextPainter& regular) {
    Raster r(cardLayout::side, cardLayout::side);
    const Shape card = Shape::box(4.0f, 4.0f, 380.0f, 380.0f, 34.0f);
    const Paint paper = [](float x, float y) {
        const float n = Noise::fractal(x / 24.0f, y / 24.0f, 3, 81);
        const float dx = (x - 192.0f) / 192.0f;
        const float dy = (y - 192.0f) / 192.0f;
        const float edge = 1.0f - 0.18f * (dx * dx + dy * dy);
        return shade(mix(rgb(0xf2e8cc), rgb(0xdcc9a0), y / 384.0f), (0.9f + 0.15f * n) * edge);
    };
    r.fill(card, paper);
    // A dark outer band and a fine gold line inside it.
    r.fill(card.without(card.grown(-7.0f)), rgb(0x4a2616));
    const Shape inner = Shape::box(cardLayout::innerLeft, cardLayout::innerLeft,
                                   cardLayout::innerRight, cardLayout::innerRight, 22.0f);
    r.fill(inner.without(inner.grown(-2.5f)), rgb(0xb08030));
    for (const float cx : {cardLayout::innerLeft, cardLayout::innerRight})
        for (const float cy : {cardLayout::innerLeft, cardLayout::innerRight}) {
            const float ix = cx < 192.0f ? cx + 16.0f : cx - 16.0f;
            const float iy = cy < 192.0f ? cy + 16.0f : cy - 16.0f;
            r.fill(Shape::polygon(
                       {{ix, iy - 7.0f}, {ix + 7.0f, iy}, {ix, iy + 7.0f}, {ix - 7.0f, iy}}),
                   rgb(0xb08030));
        }

    const Colour ink = rgb(0x3a2214);
    bold.drawCentred(r, "Choose", 192.0f, 84.0f, 46, solid(rgb(0x7a1e1e)));
    r.fill(Shape::box(112.0f, 101.0f, 272.0f, 102.5f), rgb(0xb08030));
    r.fill(
        Shape::polygon({{192.0f, 96.0f}, {198.0f, 101.75f}, {192.0f, 107.5f}, {186.0f, 101.75f}}),
        rgb(0xb08030));

    const char* const words[] = {"sing", "gun", "fire", "back"};
    for (int i = 0; i < cardLayout::lines; ++i) {
        const float baseline =
            cardLayout::firstBaseline + static_cast<float>(i) * cardLayout::lineSpacing;
        const float top = baseline - cardLayout::badgeAbove;
        const float bottom = baseline + cardLayout::badgeBelow;
        const Shape badge = Shape::box(70.0f, top, 116.0f, bottom, 9.0f);
        r.fill(badge.grown(2.0f), rgb(0xb08030));
        r.fill(badge, verticalGradient(top, rgb(0x9a2a24), bottom, rgb(0x5a1410)));
        bold.drawCentred(r, std::to_string(i + 1), 93.0f, baseline - 3.0f, 32,
                         solid(rgb(0xfbeed0)));
        regular.draw(r, words[i], 136.0f, baseline - 1.0f, 40, solid(ink));
    }
    r.bleedColour(2);
    return r;
}
