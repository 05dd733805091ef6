#include "crowd/Crowd.h"

#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "support/CrowdTestSupport.h"
#include "support/GlContext.h"

#include <GL/gl.h>

namespace {

// The view translation the camera last loaded into the model-view matrix.
Vec3 loadedTranslation() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return {m[12], m[13], m[14]};
}

} // namespace

using crowdtest::expectNear;

class CrowdTravel : public crowdtest::CrowdFixture {
  protected:
    InputController& input = InputController::instance();
    const Vec3 home{0.0f, -19.0f, -145.0f};

    void SetUp() override {
        CrowdFixture::SetUp();
        ensureGlContext();
        Camera::instance() = Camera();
        OptionCard::instance() = OptionCard();
        app.width = 1024;
        app.height = 512;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // A selected person at (-10, 0, 60) and the cursor's near point at offset from it.
    Person& selectWithNearPointAt(Vec3 offset) {
        Person& p = place(-10.0f, 60.0f);
        crowd.selectedPerson = &p;
        crowd.zoomingIn = 1;
        input.nearPoint = p.headPos + offset;
        return p;
    }
};

TEST_F(CrowdTravel, TowardThePersonXMovesFasterThanYAndZ) {
    selectWithNearPointAt({40.0f, 20.0f, 40.0f}); // 60 away: u = (-2/3, -1/3, -2/3)
    step(30.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    EXPECT_EQ(crowd.zoomingIn, 1);
    EXPECT_EQ(OptionCard::instance().state, CardState::PutAway);
    // 0.13 * 30 * 2/3 along x; 0.03 * 30 * 1/3 along y; 0.03 * 30 * 2/3 along z.
    expectNear(input.viewOffset, {2.6f, -18.7f, -144.4f}, 1e-4f);
    expectNear(loadedTranslation(), input.viewOffset, 1e-5f);
}

TEST_F(CrowdTravel, ArrivalWithin25UnitsFocusesSwingsTheCardAndStillMoves) {
    selectWithNearPointAt({15.0f, 20.0f, 0.0f}); // exactly 25: not yet there
    step(10.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    EXPECT_EQ(crowd.zoomingIn, 1);

    input.nearPoint = crowd.selectedPerson->headPos + Vec3{12.0f, 16.0f, 0.0f}; // 20 away
    input.viewOffset = home;
    step(10.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Focused);
    EXPECT_EQ(crowd.zoomingIn, 0);
    EXPECT_EQ(OptionCard::instance().state, CardState::SwingingIn);
    expectNear(input.viewOffset, {0.78f, -18.76f, -145.0f}, 1e-4f);
    expectNear(loadedTranslation(), input.viewOffset, 1e-5f);

    // Arrived: the next update leaves the view alone.
    const Vec3 arrived = input.viewOffset;
    step(10.0f);
    EXPECT_EQ(input.viewOffset, arrived);
    EXPECT_EQ(app.viewMode, ViewMode::Focused);
}

class CrowdReturn : public CrowdTravel {
  protected:
    void startReturnFrom(Vec3 offset) {
        crowd.selectedPerson = &place(-10.0f, 60.0f);
        crowd.zoomingOut = 1;
        app.viewMode = ViewMode::Focused;
        input.viewOffset = home + offset;
    }
};

TEST_F(CrowdReturn, EasesInOverTheFirst2000MsOfWholeMilliseconds) {
    startReturnFrom({10.0f, 0.0f, 0.0f});
    step(100.0f); // rate = 100 * 0.0005 * 0.003
    EXPECT_EQ(zoomOutRampMs, 100);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    EXPECT_NEAR(input.viewOffset.x, 9.85f, 1e-5f);
    step(100.0f);
    EXPECT_NEAR(input.viewOffset.x, 9.85f * (1.0f - 0.03f), 1e-5f);
    expectNear(loadedTranslation(), input.viewOffset, 1e-5f);

    // From 2000 ms on the full rate applies and the ramp stops growing.
    zoomOutRampMs = 2000;
    input.viewOffset = home + Vec3{10.0f, 0.0f, 0.0f};
    step(100.0f);
    EXPECT_EQ(zoomOutRampMs, 2000);
    EXPECT_NEAR(input.viewOffset.x, 7.0f, 1e-5f);

    zoomOutRampMs = 0; // the ramp keeps whole milliseconds
    step(16.5f);
    step(16.5f);
    EXPECT_EQ(zoomOutRampMs, 32);
}

TEST_F(CrowdReturn, EndsExactlyOnTheHomeView) {
    startReturnFrom({30.0f, -7.3f, 52.1f});
    int frames = 0;
    while (crowd.zoomingOut && frames < 10000) {
        step(16.0f);
        ++frames;
        if (crowd.zoomingOut) {
            ASSERT_EQ(app.viewMode, ViewMode::Travelling);
        }
    }
    ASSERT_EQ(crowd.zoomingOut, 0);
    EXPECT_EQ(input.viewOffset, home);
    EXPECT_EQ(loadedTranslation(), home);
    EXPECT_EQ(zoomOutRampMs, 0);
    EXPECT_EQ(app.viewMode, ViewMode::Overview);

    // Within one unit the view snaps home on the next update.
    startReturnFrom({0.6f, 0.6f, 0.3f});
    zoomOutRampMs = 700;
    step(16.0f);
    EXPECT_EQ(input.viewOffset, home);
    EXPECT_EQ(zoomOutRampMs, 0);
    EXPECT_EQ(crowd.zoomingOut, 0);
}

TEST_F(CrowdReturn, WaitsForASelectionAndFollowsTheNextArrival) {
    crowd.zoomingOut = 1; // a command with nobody selected
    const Vec3 away = home + Vec3{5.0f, 0.0f, 0.0f};
    input.viewOffset = away;
    step(16.0f);
    EXPECT_EQ(crowd.zoomingOut, 1);
    EXPECT_EQ(input.viewOffset, away);
    EXPECT_EQ(app.viewMode, ViewMode::Overview);
    EXPECT_EQ(loadedTranslation(), Vec3{}); // the camera was not reshaped

    Person& p = place(-10.0f, 60.0f);
    crowd.pickNearest(p.headPos);
    ASSERT_EQ(crowd.selectedPerson, &p);
    input.nearPoint = p.headPos + Vec3{0.0f, 0.0f, 10.0f};
    step(16.0f); // arrival: the travel in runs, the return still waits
    EXPECT_EQ(app.viewMode, ViewMode::Focused);
    EXPECT_EQ(crowd.zoomingOut, 1);
    const Vec3 arrived = input.viewOffset;
    step(16.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    EXPECT_LT(input.viewOffset.x, arrived.x);
}

class CrowdFires : public CrowdTravel {};

TEST_F(CrowdFires, FrameChangesOnceElapsedPassesFrameMsAndWrapsAtFive) {
    for (FireAnimation& fire : crowd.fires)
        fire.frameMs = 50;
    step(30.0f);
    step(20.0f); // exactly 50: not yet
    EXPECT_EQ(crowd.fires[0].frame, 0);
    EXPECT_EQ(crowd.fires[0].elapsedMs, 50.0f);
    step(1.0f);
    for (const FireAnimation& fire : crowd.fires) {
        EXPECT_EQ(fire.frame, 1);
        EXPECT_EQ(fire.elapsedMs, 0.0f);
    }
    crowd.fires[3].frame = 4;
    step(0.0f);
    EXPECT_EQ(crowd.fires[3].frame, 4);
    step(60.0f);
    EXPECT_EQ(crowd.fires[3].frame, 0);
    EXPECT_EQ(crowd.fires[4].frame, 2);

    selectWithNearPointAt({40.0f, 20.0f, 40.0f}); // also while the camera travels
    step(60.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    EXPECT_EQ(crowd.fires[4].frame, 3);
}
