#include "app/DistantExplosions.h"

#include "app/Camera.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <tuple>

TEST_F(SceneTest, ExplosionsComeOnTheFirstFramePastTheIntervalWithADrawnSampleAndInterval) {
    ensureGlContext();
    DistantExplosions timer;
    timer.elapsedSeconds = 14.984f;
    timer.update(16.0f); // exactly 15.0 in single precision: not yet
    ASSERT_EQ(timer.elapsedSeconds, 15.0f);
    EXPECT_FALSE(Camera::instance().shaking);
    timer.update(16.0f);
    EXPECT_TRUE(Camera::instance().shaking);
    EXPECT_EQ(timer.elapsedSeconds, 0.0f); // the surplus is dropped

    // Two draws an explosion: the sample first, then the next interval of 15 to 18 seconds.
    SoundBank& bank = openSoundBank();
    const std::tuple<int32_t, int32_t, int32_t, float> cases[] = {// draws, sample, interval
                                                                  {32765, 3, 7, 18.0f},
                                                                  {1, 0, 6, 15.0f},
                                                                  {3, 32766, 5, 17.0f}};
    for (const auto& [sampleDraw, intervalDraw, sample, interval] : cases) {
        ASSERT_FALSE(bank.isSounding(sample));
        scriptDraws({sampleDraw, intervalDraw});
        timer.update(40000.0f);
        EXPECT_EQ(unusedDraws(), 0u);
        EXPECT_TRUE(bank.isSounding(sample)) << sample;
        EXPECT_EQ(timer.intervalSeconds, interval);
    }
    for (int32_t sample : {0, 4, 8, 9})
        EXPECT_FALSE(bank.isSounding(sample));
}
