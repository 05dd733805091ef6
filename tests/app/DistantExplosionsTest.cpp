#include "app/DistantExplosions.h"
#include "app/Camera.h"
#include "base/Random.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

namespace {
class ExplosionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        Camera::instance() = Camera();
        seedRandom(1);
    }
    void TearDown() override { setRandomSource(nullptr); }
};
} // namespace

TEST_F(ExplosionTest, FirstFiresOnTheFirstFramePastFifteenSeconds) {
    DistantExplosions timer;
    timer.elapsedSeconds = 14.984f;
    timer.update(16.0f); // reaches exactly 15.0 in single precision
    ASSERT_EQ(timer.elapsedSeconds, 15.0f);
    EXPECT_FALSE(Camera::instance().shaking);
    timer.update(16.0f);
    EXPECT_TRUE(Camera::instance().shaking);
    EXPECT_EQ(timer.elapsedSeconds, 0.0f);
}

TEST_F(ExplosionTest, SixteenMillisecondFramesFireAfterJustOverFifteenSeconds) {
    DistantExplosions timer;
    int frames = 0;
    while (!Camera::instance().shaking) {
        timer.update(16.0f);
        ++frames;
    }
    EXPECT_GT(frames * 16, 15000);
    EXPECT_LE(frames * 16, 15016 + 16);
}

TEST_F(ExplosionTest, OneLongFrameFiresOnceAndDropsTheSurplus) {
    DistantExplosions timer;
    const uint32_t before = randomState();
    timer.update(40000.0f);
    EXPECT_EQ(timer.elapsedSeconds, 0.0f);
    EXPECT_TRUE(Camera::instance().shaking);
    seedRandom(before);
    randomDraw();
    randomDraw();
    const uint32_t afterTwoDraws = randomState();
    seedRandom(before);
    timer.update(40000.0f);
    EXPECT_EQ(randomState(), afterTwoDraws); // one explosion: two draws
}

TEST_F(ExplosionTest, DrawsTheSampleFirstAndTheIntervalSecond) {
    static int draws = 0;
    draws = 0;
    // The second draw decides the interval: 3 % 4 gives 18 s.
    setRandomSource([] { return int32_t{++draws == 1 ? 1 : 3}; });
    DistantExplosions timer;
    timer.update(15001.0f);
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(timer.intervalSeconds, 18.0f);
}

TEST_F(ExplosionTest, IntervalsAreAlwaysFifteenToEighteenWholeSeconds) {
    DistantExplosions timer;
    bool seen[4] = {};
    for (int i = 0; i < 200; ++i) {
        timer.update(20000.0f);
        const float interval = timer.intervalSeconds;
        ASSERT_GE(interval, 15.0f);
        ASSERT_LE(interval, 18.0f);
        ASSERT_EQ(interval, static_cast<float>(static_cast<int>(interval)));
        seen[static_cast<int>(interval) - 15] = true;
    }
    for (bool each : seen)
        EXPECT_TRUE(each);
}

TEST_F(ExplosionTest, AnExplosionDuringAShakeRestartsIt) {
    Camera& camera = Camera::instance();
    camera.reshape(1024, 512);
    camera.startShake();
    camera.update(700.0f);
    DistantExplosions timer;
    timer.update(15001.0f);
    EXPECT_TRUE(camera.shaking);
    EXPECT_EQ(camera.shakeTime, 0.0f);
}
