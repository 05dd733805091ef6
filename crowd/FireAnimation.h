// One of the crowd's ten flame animations, shared by the burning people whose fireIndex names it.
#pragma once

#include "assets/Sprite.h"
#include "base/Vec3.h"

#include <cstdint>

constexpr int fireFrames = 5;

class FireAnimation {
  public:
    int32_t frameSprites[fireFrames] = {};
    float elapsedMs = 0.0f; // since the frame last changed
    int32_t frame = 0;      // 0 to 4
    int32_t frameMs = 40;   // how long each frame shows, 40 to 99

    void advance(float deltaMs);
    // The current frame as a blended sprite with an alpha test at 0.1, as a person's flame is
    // drawn.
    SpriteDraw spriteDraw(Vec3 position, Vec3 scale) const;
};
