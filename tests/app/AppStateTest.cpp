#include "app/AppState.h"

#include <gtest/gtest.h>

TEST(AppStateClock, DeltaIsTheWholeMillisecondsBetweenIdleCalls) {
    AppState app;
    app.previousTimeMs = 1000.0f;
    app.advanceClock(1016.0f);
    EXPECT_EQ(app.currentTimeMs, 1016.0f);
    EXPECT_EQ(app.frameDeltaMs, 16.0f);
    app.advanceClock(1033.0f);
    EXPECT_EQ(app.frameDeltaMs, 17.0f);
    EXPECT_EQ(app.previousTimeMs, 1033.0f);
}

TEST(AppStateClock, TwoCallsInTheSameMillisecondGiveZero) {
    AppState app;
    app.previousTimeMs = 500.0f;
    app.advanceClock(500.0f);
    EXPECT_EQ(app.frameDeltaMs, 0.0f);
}

TEST(AppStateClock, StaysWholeBelowTwoToThe24Milliseconds) {
    AppState app;
    app.previousTimeMs = 16777000.0f;
    app.advanceClock(16777215.0f);
    EXPECT_EQ(app.frameDeltaMs, 215.0f);
}
