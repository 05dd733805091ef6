// The design's linear congruential generator. The program's one shared sequence takes every
// random choice of the scene, in a fixed order; a sequence of its own serves whoever must not
// disturb that order.
#pragma once

#include <cstdint>

constexpr int32_t randomMax = 32767;

class RandomSequence {
  public:
    uint32_t state = 1; // 1 before seeding

    // The next draw, 0 to 32767: bits 16 to 30 of the new state.
    int32_t draw();
};

// Restarts the shared sequence; start-up seeds it once with the calendar time.
void seedRandom(uint32_t seed);

// The shared sequence's next draw, 0 to 32767.
int32_t randomDraw();

// The shared sequence's state; 1 before seeding.
uint32_t randomState();

// Tests replace the shared sequence with their own draws; nullptr restores the generator.
using RandomSource = int32_t (*)();
void setRandomSource(RandomSource source);
