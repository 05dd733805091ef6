// A singer's mouth follows the music: it opens with the level and narrows a little when wide open.
#pragma once

#include "base/Vec3.h"

inline Vec3 mouthScaleFor(float musicLevel) {
    float opening = 3.0f * musicLevel;
    if (opening > 0.5f)
        opening = 0.5f;
    const float width = 1.0f - opening < 0.55f ? 1.0f - opening : 0.55f;
    return {width, opening, 0.35f};
}
