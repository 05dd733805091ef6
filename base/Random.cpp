#include "base/Random.h"

namespace {
uint32_t state = 1;
RandomSource source = nullptr;
} // namespace

void seedRandom(uint32_t seed) {
    state = seed;
}

int32_t randomDraw() {
    if (source)
        return source();
    // Unsigned arithmetic wraps modulo 2^32, as the generator is defined.
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7fffu);
}

uint32_t randomState() {
    return state;
}

void setRandomSource(RandomSource replacement) {
    source = replacement;
}
