#include "PaintRandom.h"

PaintRandom::PaintRandom(uint32_t seed) : state_(seed != 0 ? seed : 0x9e3779b9u) {}

uint32_t PaintRandom::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float PaintRandom::uniform(float lo, float hi) {
    // 24 bits fill a float's mantissa exactly.
    const float t = static_cast<float>(next() >> 8) / 16777216.0f;
    return lo + (hi - lo) * t;
}

int PaintRandom::below(int n) {
    return static_cast<int>(next() % static_cast<uint32_t>(n));
}
