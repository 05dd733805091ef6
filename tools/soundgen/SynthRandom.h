// The generators' own random sequence (SplitMix64): the same seed gives the same sound on every
// run.
#pragma once

#include <cstdint>

class SynthRandom {
  public:
    uint64_t state; // advanced by every draw

    explicit SynthRandom(uint64_t seed) : state(seed) {}

    uint32_t nextBits();
    // Uniform in [0, 1).
    float uniform();
    // Uniform in [low, high).
    float between(float low, float high);
    // Uniform in [-1, 1): white noise.
    float noise() { return between(-1.0f, 1.0f); }
};
