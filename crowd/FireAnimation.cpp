#include "crowd/FireAnimation.h"

#include "assets/TextureRegistry.h"

void FireAnimation::advance(float deltaMs) {
    elapsedMs += deltaMs;
    if (elapsedMs > static_cast<float>(frameMs)) {
        frame += 1;
        if (frame == fireFrames)
            frame = 0;
        elapsedMs = 0.0f;
    }
}

SpriteDraw FireAnimation::spriteDraw(Vec3 position, Vec3 scale) const {
    const float flameAlphaRef = 0.1f;
    return {frameSprites[frame], position, scale, {0, 0, 0, 1}, flameAlphaRef};
}
