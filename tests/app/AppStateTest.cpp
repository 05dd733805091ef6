#include "app/AppState.h"

#include "app/Camera.h"
#include "app/DistantExplosions.h"
#include "assets/OptionCard.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/freeglut.h>
#include <vector>

// One idle call: the cursor's points, the explosions, the crowd, then the card. The order shows
// in who takes which draw, in whether the travel sees the cursor, and in the card's swing.
TEST_F(SceneTest, IdleUpdatesTheCursorExplosionsCrowdAndCardInThatOrder) {
    ensureGlContext();
    SoundBank& bank = openSoundBank();
    input.viewOffset = {0.0f, -19.0f, -115.0f}; // the eye at (0, 19, 115)
    Camera::instance().reshape(1024, 512);
    input.running = 1;
    input.mouseX = 512.0f;
    input.mouseY = 256.0f;
    Person& catching = place(-90.0f, 5.0f);
    catching.burnCheckTimer = 0.1f;
    place(-88.0f, 5.0f).state = PersonState::Burning;
    crowd.selectedPerson = &place(0.0f, 99.0f, 10.0f); // some 18 units from the eye
    crowd.zoomingIn = 1;
    distantExplosions.elapsedSeconds = distantExplosions.intervalSeconds;
    app.previousTimeMs = 1000;
    scriptDraws({1, 3, 2});
    app.idleAt(1020);
    EXPECT_TRUE(bank.isSounding(firstExplosionSample + 1) &&
                distantExplosions.intervalSeconds == 18.0f);
    EXPECT_EQ(catching.state, PersonState::Burning);
    EXPECT_FLOAT_EQ(catching.burnCheckTimer, 5000.2f);
    // Arrived, and the card swung in within the frame, then swung for its 20 ms.
    EXPECT_TRUE(app.viewMode == ViewMode::Focused &&
                OptionCard::instance().state == CardState::SwingingIn);
    EXPECT_FLOAT_EQ(OptionCard::instance().angle, 70.0f - 160.0f * 0.02f);
}

// A long frame moves everything exactly as the ordinary frames of its time would, in steps of
// at most 50 ms; of a stall, a second is made up for and the rest passes with nothing moving.
TEST_F(SceneTest, ALongFrameMovesAsTheOrdinaryFramesOfItsTimeAndAStallAsASecond) {
    ensureGlContext();
    // Where everything stands after the frames: the view, a walker, the card, a fire, the timer.
    const auto visit = [this](bool home, const std::vector<int64_t>& frames) -> std::vector<float> {
        resetScene();
        input.running = 1;
        input.mouseX = 512.0f;
        input.mouseY = 400.0f;
        crowd.selectedPerson = &place(40.0f, 10.0f, 10.0f); // far: the travel lasts seconds
        Person& walker = place(0.0f, 50.0f);
        walker.targetPos = {20.0f, 0.0f, 50.0f};
        walker.walking = 1;
        (home ? crowd.zoomingOut : crowd.zoomingIn) = 1;
        if (home)
            input.viewOffset = {-30.0f, -10.0f, -40.0f};
        Camera::instance().reshape(1024, 512);
        OptionCard::instance().swingIn();
        app.previousTimeMs = 5000;
        int64_t clockMs = app.previousTimeMs;
        for (const int64_t frameMs : frames)
            app.idleAt(clockMs += frameMs);
        const Vec3 view = input.viewOffset, at = walker.headPos;
        const FireAnimation& f = crowd.fires[0];
        const float card = OptionCard::instance().angle, timer = distantExplosions.elapsedSeconds;
        return {view.x, view.y, view.z, at.x, at.y, at.z, card, timer, f.elapsedMs, float(f.frame)};
    };
    for (const bool home : {false, true}) {
        EXPECT_EQ(visit(home, {130}), visit(home, {44, 43, 43})) << "130 ms as 44, 43 and 43";
        EXPECT_EQ(visit(home, {5000}), visit(home, std::vector<int64_t>(20, 50)))
            << "a stall of 5 s as 20 frames of 50 ms";
        EXPECT_EQ(app.frameDeltaMs, 1000.0f); // what the shake and the show see of the stall
    }
    // The ordinary frames themselves do not move alike: the steps' lengths matter.
    const std::vector<float> once = visit(false, {130}), twice = visit(false, {65, 65});
    EXPECT_NE(std::vector<float>(once.begin(), once.begin() + 3),
              std::vector<float>(twice.begin(), twice.begin() + 3));
}

// Paused, the idle calls move nothing; after it the scene's clock goes on as if none had passed.
TEST_F(SceneTest, PausedTheClockStandsStillGoesOnWithoutTheTimeItStoodAndPastGlutsBits) {
    ensureGlContext();
    Camera::instance().reshape(1024, 512);
    input.running = 1;
    Person& walker = place(0.0f, 50.0f);
    walker.targetPos = {10.0f, 0.0f, 50.0f};
    walker.walking = 1;
    app.previousTimeMs = 1000;
    app.setPaused(true);
    input.mouseX = 512.0f; // the cursor over the floor: the light shaft stays where it stood
    input.mouseY = 400.0f;
    for (int64_t nowMs : {1100, 4000})
        app.idleAt(nowMs);
    EXPECT_TRUE(walker.headPos == walker.homePos && input.floorPoint == Vec3{});
    EXPECT_TRUE(app.frameDeltaMs == 0.0f && distantExplosions.elapsedSeconds == 0.0f);
    app.setPaused(false);
    app.idleAt(4020);
    EXPECT_TRUE(app.frameDeltaMs == 20.0f && app.currentTimeMs == 1020);
    EXPECT_NE(walker.headPos, walker.homePos);

    // GLUT's int clock wraps around after 24.8 days; the frame clock counts on in 64 bits.
    EXPECT_EQ(advanceFrameClock(1000, 1016), 1016);
    EXPECT_EQ(advanceFrameClock(2147483000, -2147483000), 2147484296); // past the int's end
    const int64_t thirtyDaysMs = 30LL * 24 * 3600 * 1000;
    EXPECT_EQ(
        advanceFrameClock(thirtyDaysMs, static_cast<int32_t>((thirtyDaysMs + 16) - (1LL << 32))),
        thirtyDaysMs + 16);
    EXPECT_EQ(advanceFrameClock(thirtyDaysMs, static_cast<int32_t>(thirtyDaysMs - (1LL << 32))),
              thirtyDaysMs);
}
