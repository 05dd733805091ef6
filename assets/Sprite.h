// One registered picture: its texture and whether it is drawn blended.
#pragma once

#include "base/Vec3.h"

#include <cstdint>

// A turn in degrees about an axis; angle 0 (any axis, even (0, 0, 0)) changes nothing.
struct Rotation {
    float angle = 0.0f;
    float ax = 0.0f;
    float ay = 0.0f;
    float az = 0.0f;
};

// The arguments of one sprite draw: which registered picture, where, how large, how turned, and
// the alpha test (alphaRef 0: none).
struct SpriteDraw {
    int32_t sprite = 0;
    Vec3 position;
    Vec3 scale;
    Rotation rotation;
    float alphaRef = 0.0f;
};

struct Sprite {
    uint32_t texture = 0; // OpenGL texture name; 0 when the picture did not load
    bool blend = false;   // drawn with alpha blending and, on request, an alpha test

    // Draws the shared 2 by 2 quad scaled, then turned, then moved; alphaRef 0 means no alpha test.
    // Expects 2D texturing on; leaves this texture bound, and blending and the alpha test off if
    // it is a blended sprite (it turns them on for itself), untouched if it is an opaque one.
    void draw(Vec3 position, Vec3 scale, Rotation rotation, float alphaRef) const;
};
