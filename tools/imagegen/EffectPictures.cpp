#include "EffectPictures.h"

#include "Noise.h"

#include <cmath>

namespace {

const float pi = 3.14159265f;

// Flame heat from 0 (none) to 1 (white hot) mapped to colour and opacity.
Colour flameColour(float heat) {
    const Colour stops[] = {rgb(0x700a00), rgb(0xd02c08), rgb(0xf86a10),
                            rgb(0xffae30), rgb(0xffe27a), rgb(0xfffae0)};
    const float position = clamp01(heat) * 5.0f;
    const int i = std::min(4, static_cast<int>(position));
    Colour c = mix(stops[i], stops[i + 1], position - static_cast<float>(i));
    c.a = smoothstep(0.08f, 0.55f, heat);
    return c;
}

} // namespace

Raster paintFire(int frame) {
    Raster r(64, 128);
    const float phase = static_cast<float>(frame) / 5.0f * 2.0f * pi;
    const float rise = static_cast<float>(frame) * 0.55f;
    // Seven tongues, each swaying and stretching on its own cycle over the five frames.
    const float tongueU[] = {-0.55f, -0.36f, -0.17f, 0.02f, 0.2f, 0.38f, 0.56f};
    const float tongueHeight[] = {0.42f, 0.62f, 0.8f, 0.95f, 0.78f, 0.6f, 0.4f};
    const float tongueWidth[] = {0.16f, 0.2f, 0.22f, 0.25f, 0.22f, 0.2f, 0.16f};
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / 32.0f - 1.0f;  // -1 to 1
            const float t = 1.0f - (static_cast<float>(y) + 0.5f) / 128.0f; // 0 bottom, 1 top
            // Turbulence rising through the frames bends the tongues.
            const float bend =
                (Noise::fractal(u * 1.5f + 3.0f, t * 3.0f - rise, 3, 101) - 0.5f) * 0.6f * t;
            float heat = 0.0f;
            for (int k = 0; k < 7; ++k) {
                const float cycle = phase + static_cast<float>(k) * 2.3f;
                const float height = tongueHeight[k] * (0.78f + 0.22f * std::sin(cycle));
                const float sway = 0.08f * std::sin(cycle + t * 6.0f) * t;
                const float along = t / height;
                if (along >= 1.0f)
                    continue;
                const float halfWidth = tongueWidth[k] * std::pow(1.0f - along, 0.8f) *
                                        (0.7f + 0.6f * std::sqrt(along + 0.05f));
                const float across =
                    std::fabs(u - tongueU[k] * (1.0f - 0.35f * along) - sway - bend);
                const float inside = 1.0f - across / halfWidth;
                if (inside > 0.0f)
                    heat = std::max(heat, std::sqrt(inside) * (1.0f - along * 0.7f));
            }
            // A glowing bed where the fire sits on the head.
            const float bed = 1.0f - std::sqrt(u * u / 0.5f + (t * t) / 0.07f);
            heat = std::max(heat, bed);
            // Flickering holes and licks that move up through the frames.
            const float flicker = Noise::fractal(u * 5.0f, t * 7.0f - rise * 1.8f, 3, 202);
            heat *= 0.45f + 1.0f * flicker;
            // The lowest rows fade out, so the flame has no straight bottom edge.
            heat *= smoothstep(0.0f, 0.12f, t);
            r.at(x, y) = flameColour(heat);
        }
    }
    r.bleedColour(2);
    return r;
}

Raster paintLightShaft() {
    Raster r(64, 256);
    const Colour light = rgb(0xfff4dc);
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / 32.0f - 1.0f;
            const float t = 1.0f - (static_cast<float>(y) + 0.5f) / 256.0f; // 0 bottom, 1 top
            // A soft beam with a brighter core, reaching zero before the quad's edges.
            const float beam = std::exp(-u * u * 7.0f) * 0.7f + std::exp(-u * u * 40.0f) * 0.3f;
            const float sides = 1.0f - smoothstep(0.8f, 1.0f, std::fabs(u));
            const float height = std::pow(1.0f - t, 1.1f) * smoothstep(0.0f, 0.04f, t);
            const float pool = std::exp(-(u * u * 4.0f + (t - 0.06f) * (t - 0.06f) * 300.0f));
            const float alpha = (beam * height * 0.42f + pool * 0.15f) * sides;
            r.at(x, y) = withAlpha(light, alpha);
        }
    }
    return r;
}

Raster paintSelected() {
    Raster r(64, 64);
    const Colour gold = rgb(0xffd878);
    const Shape ring =
        Shape::circle(32.0f, 32.0f, 24.0f).without(Shape::circle(32.0f, 32.0f, 19.5f));
    Raster glow(64, 64);
    glow.fill(ring.grown(2.0f), withAlpha(gold, 0.8f));
    r.composite(glow.blurred(3), 0, 0, 0.8f);
    r.fill(ring, radialGradient(26.0f, 24.0f, 30.0f, rgb(0xfff4c8), rgb(0xd89a30)));
    // A small arrow inside the ring points down at the chosen person.
    r.fill(Shape::polygon({{25.0f, 23.0f}, {39.0f, 23.0f}, {32.0f, 36.0f}}), withAlpha(gold, 0.9f));
    r.bleedColour(2);
    return r;
}
