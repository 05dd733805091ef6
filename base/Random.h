// The program's one random sequence: a linear congruential generator whose draws
// every random choice in the program takes, in a fixed order.
#pragma once

#include <cstdint>

constexpr int32_t randomMax = 32767;

// Restarts the sequence; start-up seeds it once with the calendar time.
void seedRandom(uint32_t seed);

// The next draw, 0 to 32767: bits 16 to 30 of the new state.
int32_t randomDraw();

// The generator's state; 1 before seeding.
uint32_t randomState();

// Tests replace the sequence with their own draws; nullptr restores the generator.
using RandomSource = int32_t (*)();
void setRandomSource(RandomSource source);
