// A straight (not premultiplied) RGBA colour with channels from 0 to 1, and the few
// operations the pictures mix colours with.
#pragma once

#include <algorithm>
#include <cstdint>

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f; // 0 transparent, 1 opaque
};

// A colour from a 0xRRGGBB literal, as pictures are usually described.
inline Colour rgb(uint32_t hex, float alpha = 1.0f) {
    return {static_cast<float>((hex >> 16) & 0xffu) / 255.0f,
            static_cast<float>((hex >> 8) & 0xffu) / 255.0f,
            static_cast<float>(hex & 0xffu) / 255.0f, alpha};
}

inline Colour mix(const Colour& from, const Colour& to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

// Scales the colour channels, not the alpha: shading a colour keeps its opacity.
inline Colour shade(const Colour& c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

inline Colour withAlpha(const Colour& c, float alpha) {
    return {c.r, c.g, c.b, alpha};
}

inline float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

inline float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
