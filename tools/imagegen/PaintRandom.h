// The generator's own small random sequence (xorshift), so every run paints the same
// pictures; the program's generator is never used here.
#pragma once

#include <cstdint>

class PaintRandom {
    uint32_t state_; // never 0

  public:
    explicit PaintRandom(uint32_t seed);

    uint32_t next();
    // A float from lo to hi.
    float uniform(float lo, float hi);
    // An integer from 0 to n - 1.
    int below(int n);
};
