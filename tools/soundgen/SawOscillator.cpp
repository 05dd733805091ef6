#include "soundgen/SawOscillator.h"

#include "soundgen/Sound.h"

namespace {

// The correction that rounds off the saw's drop within one sample on either side of it.
float polyBlep(float t, float step) {
    if (t < step) {
        const float x = t / step;
        return x + x - x * x - 1.0f;
    }
    if (t > 1.0f - step) {
        const float x = (t - 1.0f) / step;
        return x * x + x + x + 1.0f;
    }
    return 0.0f;
}

} // namespace

float SawOscillator::next(float hz) {
    const float step = hz / sampleRateHz;
    const float value = 2.0f * phase - 1.0f - polyBlep(phase, step);
    phase += step;
    if (phase >= 1.0f) {
        phase -= 1.0f;
    }
    return value;
}
