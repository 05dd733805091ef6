#include "base/Random.h"

#include <gtest/gtest.h>

TEST(Random, KnownSequencesFromStateOneAndFromASeed) {
    EXPECT_EQ(randomState(), 1u);
    for (int32_t value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358})
        EXPECT_EQ(randomDraw(), value);
    seedRandom(12345u);
    for (int32_t value : {7584, 19164, 25795})
        EXPECT_EQ(randomDraw(), value);
    EXPECT_EQ(randomState(), 3837989202u);
    seedRandom(0xffffffffu); // the state wraps modulo 2^32
    randomDraw();
    EXPECT_EQ(randomState(), 2316998u);
}
