#include "soundgen/Wobble.h"

#include "soundgen/Sound.h"

#include <algorithm>
#include <cmath>

Wobble::Wobble(float rateHz, uint64_t seed)
    : coefficient(std::clamp(2.0f * pi * rateHz / sampleRateHz, 1e-6f, 1.0f)),
      // Two cascaded one-poles pass about a quarter of the noise power per unit coefficient.
      gain(0.5f / (0.577f * std::sqrt(coefficient * 0.25f))), random(seed) {}

float Wobble::next() {
    first += (random.noise() - first) * coefficient;
    second += (first - second) * coefficient;
    return second * gain;
}
