#include "soundgen/SynthRandom.h"

uint32_t SynthRandom::nextBits() {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float SynthRandom::uniform() {
    // 24 bits fill a float's mantissa exactly, so the result never rounds up to 1.
    return static_cast<float>(nextBits() >> 8) * (1.0f / 16777216.0f);
}

float SynthRandom::between(float low, float high) {
    return low + (high - low) * uniform();
}
