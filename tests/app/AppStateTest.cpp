#include "app/AppState.h"

#include "app/Camera.h"
#include "app/DistantExplosions.h"
#include "assets/OptionCard.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/freeglut.h>

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
    catching.burnCheckTimer = 1.0f;
    place(-88.0f, 5.0f).state = PersonState::Burning;
    crowd.selectedPerson = &place(0.0f, 99.0f, 10.0f); // some 18 units from the eye
    crowd.zoomingIn = 1;
    app.previousTimeMs = static_cast<float>(glutGet(GLUT_ELAPSED_TIME)) - 20000.0f;
    scriptDraws({1, 3, 2});
    app.idle();
    EXPECT_TRUE(bank.isSounding(firstExplosionSample + 1));
    EXPECT_EQ(distantExplosions.intervalSeconds, 18.0f);
    EXPECT_EQ(catching.state, PersonState::Burning);
    EXPECT_FLOAT_EQ(catching.burnCheckTimer, 5000.2f);
    EXPECT_EQ(app.viewMode, ViewMode::Focused);
    EXPECT_EQ(OptionCard::instance().state, CardState::Shown); // swung in within the frame
}

// Paused, the idle calls move nothing; after it the scene's clock goes on as if none had passed.
TEST_F(SceneTest, PausedTheClockStandsStillAndGoesOnWithoutTheTimeItStood) {
    ensureGlContext();
    Camera::instance().reshape(1024, 512);
    input.running = 1;
    Person& walker = place(0.0f, 50.0f);
    walker.targetPos = {10.0f, 0.0f, 50.0f};
    walker.walking = 1;
    app.previousTimeMs = 1000.0f;
    app.setPaused(true);
    input.mouseX = 512.0f; // the cursor over the floor: the light shaft stays where it stood
    input.mouseY = 400.0f;
    for (float nowMs : {1100.0f, 4000.0f})
        app.idleAt(nowMs);
    EXPECT_TRUE(walker.headPos == walker.homePos && input.floorPoint == Vec3{});
    EXPECT_TRUE(app.frameDeltaMs == 0.0f && distantExplosions.elapsedSeconds == 0.0f);
    app.setPaused(false);
    app.idleAt(4020.0f);
    EXPECT_TRUE(app.frameDeltaMs == 20.0f && app.currentTimeMs == 1020.0f);
    EXPECT_NE(walker.headPos, walker.homePos);
}
