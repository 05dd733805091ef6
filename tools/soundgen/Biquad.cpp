#include "soundgen/Biquad.h"

#include "soundgen/Sound.h"

#include <algorithm>
#include <cmath>

namespace {

struct Angle {
    float cosine;
    float alpha;
};

Angle angleOf(float hz, float q) {
    // Kept below Nyquist so that a swept filter never turns unstable.
    const float clamped = std::clamp(hz, 5.0f, 0.45f * sampleRateHz);
    const float w = 2.0f * 3.14159265f * clamped / sampleRateHz;
    return {std::cos(w), std::sin(w) / (2.0f * std::max(q, 0.05f))};
}

} // namespace

void Biquad::setLowPass(float cutoffHz, float q) {
    const Angle a = angleOf(cutoffHz, q);
    const float a0 = 1.0f + a.alpha;
    b0 = (1.0f - a.cosine) * 0.5f / a0;
    b1 = (1.0f - a.cosine) / a0;
    b2 = b0;
    a1 = -2.0f * a.cosine / a0;
    a2 = (1.0f - a.alpha) / a0;
}

void Biquad::setHighPass(float cutoffHz, float q) {
    const Angle a = angleOf(cutoffHz, q);
    const float a0 = 1.0f + a.alpha;
    b0 = (1.0f + a.cosine) * 0.5f / a0;
    b1 = -(1.0f + a.cosine) / a0;
    b2 = b0;
    a1 = -2.0f * a.cosine / a0;
    a2 = (1.0f - a.alpha) / a0;
}

void Biquad::setBandPass(float centreHz, float q) {
    const Angle a = angleOf(centreHz, q);
    const float a0 = 1.0f + a.alpha;
    b0 = a.alpha / a0;
    b1 = 0.0f;
    b2 = -a.alpha / a0;
    a1 = -2.0f * a.cosine / a0;
    a2 = (1.0f - a.alpha) / a0;
}
