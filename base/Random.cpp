#include "base/Random.h"

namespace {
RandomSequence shared;
RandomSource source = nullptr;
} // namespace

int32_t RandomSequence::draw() {
    // Unsigned arithmetic wraps modulo 2^32, as the generator is defined.
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7fffu);
}

void seedRandom(uint32_t seed) {
    shared.state = seed;
}

int32_t randomDraw() {
    return source ? source() : shared.draw();
}

uint32_t randomState() {
    return shared.state;
}

void setRandomSource(RandomSource replacement) {
    source = replacement;
}
