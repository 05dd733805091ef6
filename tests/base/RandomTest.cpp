#include "base/Random.h"

#include <gtest/gtest.h>

TEST(Random, StartsFromStateOneWithTheKnownSequence) {
    EXPECT_EQ(randomState(), 1u);
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (int32_t value : expected)
        EXPECT_EQ(randomDraw(), value);
}

TEST(Random, SeedingRestartsTheSequence) {
    seedRandom(1);
    const int32_t first = randomDraw();
    const int32_t second = randomDraw();
    seedRandom(1);
    EXPECT_EQ(randomDraw(), first);
    EXPECT_EQ(randomDraw(), second);
    EXPECT_EQ(first, 41);
}

TEST(Random, StateWrapsModuloTwoToThe32) {
    seedRandom(0xffffffffu);
    randomDraw();
    EXPECT_EQ(randomState(), 0xffffffffu * 214013u + 2531011u);
}

TEST(Random, DrawsStayWithinFifteenBits) {
    seedRandom(12345);
    int32_t lowest = randomMax;
    int32_t highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int32_t value = randomDraw();
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, randomMax);
}

TEST(Random, ATestSourceReplacesTheGeneratorUntilCleared) {
    setRandomSource([] { return int32_t{7}; });
    EXPECT_EQ(randomDraw(), 7);
    EXPECT_EQ(randomState(), 1u); // the generator's own state is untouched
    setRandomSource(nullptr);
    EXPECT_EQ(randomDraw(), 41);
}
