// Smooth deterministic value noise for textures (wood grain, plaster, flames): a hash of
// the lattice point, so any point can be asked for in any order.
#pragma once

#include <cstdint>

class Noise {
  public:
    // Noise from 0 to 1 with features about one unit apart.
    static float value(float x, float y, uint32_t seed);
    // Sum of octaves, each at twice the frequency and half the weight; 0 to 1.
    static float fractal(float x, float y, int octaves, uint32_t seed);
    // A hash of an integer point, 0 to 1.
    static float hash(int x, int y, uint32_t seed);
};
