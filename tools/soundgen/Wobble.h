// A slowly wandering random control signal: white noise smoothed by two one-pole low-passes,
// scaled to about unit spread. Flickers a flame, rolls a rumble, drifts a singer's pitch.
#pragma once

#include "soundgen/SynthRandom.h"

#include <cstdint>

class Wobble {
  public:
    Wobble(float rateHz, uint64_t seed);

    // The next value, mostly within -1 to 1.
    float next();

  private:
    float coefficient; // one-pole smoothing per sample
    float gain;        // makes the smoothed noise's spread about 0.5
    float first = 0.0f;
    float second = 0.0f;
    SynthRandom random;
};
