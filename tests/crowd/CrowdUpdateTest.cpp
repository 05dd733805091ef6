#include "crowd/Crowd.h"

#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/gl.h>

namespace {
class CrowdTravel : public SceneTest {
  protected:
    const Vec3 home{0.0f, -19.0f, -145.0f};

    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
        glLoadIdentity();
    }
    // The view translation the camera last loaded.
    static Vec3 loaded() {
        const ViewMatrices view = readViewMatrices();
        return {float(view.modelview[12]), float(view.modelview[13]), float(view.modelview[14])};
    }
    // A selected person at (-10, 0, 60), the cursor's near point at offset from them.
    Person& select(Vec3 offset, int32_t zoomingIn = 1) {
        Person& p = place(-10.0f, 60.0f);
        crowd.selectedPerson = &p;
        crowd.zoomingIn = zoomingIn;
        input.nearPoint = p.headPos + offset;
        return p;
    }
    void startReturnFrom(Vec3 offset) {
        select({}, 0);
        crowd.zoomingOut = 1;
        app.viewMode = ViewMode::Focused;
        input.viewOffset = home + offset;
    }
};
} // namespace

TEST_F(CrowdTravel, TheViewApproachesWithXFasterAndArrivesWithin25Units) {
    Person& p = select({40.0f, 20.0f, 40.0f}); // 60 away: u = (-2/3, -1/3, -2/3)
    stepCrowd(30.0f);
    EXPECT_EQ(app.viewMode, ViewMode::Travelling);
    // 0.13 * 30 * 2/3 along x; 0.03 * 30 * 1/3 along y; 0.03 * 30 * 2/3 along z.
    expectNear(input.viewOffset, {2.6f, -18.7f, -144.4f}, 1e-4f);
    expectNear(loaded(), input.viewOffset, 1e-5f);
    input.nearPoint = p.headPos + Vec3{15.0f, 20.0f, 0.0f}; // exactly 25 away: not yet
    stepCrowd(10.0f);
    EXPECT_EQ(OptionCard::instance().state, CardState::PutAway);
    input.nearPoint = p.headPos + Vec3{12.0f, 16.0f, 0.0f};
    input.viewOffset = home;
    stepCrowd(10.0f); // arrives, and still moves on this frame
    EXPECT_TRUE(app.viewMode == ViewMode::Focused && crowd.zoomingIn == 0 &&
                OptionCard::instance().state == CardState::SwingingIn);
    expectNear(input.viewOffset, {0.78f, -18.76f, -145.0f}, 1e-4f);
    const Vec3 arrived = input.viewOffset;
    stepCrowd(10.0f);
    EXPECT_EQ(input.viewOffset, arrived);
}

TEST_F(CrowdTravel, TheWayHomeEasesInOverTwoSecondsAndEndsExactlyOnTheHomeViewWithinOneUnit) {
    startReturnFrom({10.0f, 0.0f, 0.0f});
    stepCrowd(100.0f); // rate = 100 * 0.0005 * 0.003
    EXPECT_TRUE(zoomOutRampMs == 100 && app.viewMode == ViewMode::Travelling);
    EXPECT_NEAR(input.viewOffset.x, 9.85f, 1e-5f);
    stepCrowd(100.0f);
    EXPECT_NEAR(input.viewOffset.x, 9.85f * (1.0f - 0.03f), 1e-5f);
    expectNear(loaded(), input.viewOffset, 1e-5f);
    zoomOutRampMs = 2000; // from here on the full rate, and the ramp stops growing
    input.viewOffset = home + Vec3{10.0f, 0.0f, 0.0f};
    stepCrowd(100.0f);
    EXPECT_EQ(zoomOutRampMs, 2000);
    EXPECT_NEAR(input.viewOffset.x, 7.0f, 1e-5f);
    zoomOutRampMs = 0;
    stepCrowd(16.5f);
    stepCrowd(16.5f);
    EXPECT_EQ(zoomOutRampMs, 32);

    startReturnFrom({30.0f, -7.3f, 52.1f});
    for (int frames = 0; crowd.zoomingOut && frames < 10000; ++frames) {
        stepCrowd(16.0f);
        ASSERT_EQ(app.viewMode, crowd.zoomingOut ? ViewMode::Travelling : ViewMode::Overview);
    }
    EXPECT_TRUE(input.viewOffset == home && loaded() == home && zoomOutRampMs == 0);
    startReturnFrom({1.0f, 0.0f, 0.0f}); // exactly one unit away: one more step
    zoomOutRampMs = 2000;
    stepCrowd(16.0f);
    EXPECT_NEAR(input.viewOffset.x, 0.952f, 1e-6f);
    stepCrowd(16.0f);
    EXPECT_TRUE(input.viewOffset == home && crowd.zoomingOut == 0);
}

TEST_F(CrowdTravel, TheWayHomeWaitsForASelectionAndFireFramesChangeOncePastTheirTime) {
    crowd.zoomingOut = 1; // a command with nobody selected
    input.viewOffset = home + Vec3{5.0f, 0.0f, 0.0f};
    stepCrowd(16.0f);
    // Not moved, and the camera not reshaped.
    EXPECT_TRUE(input.viewOffset == (home + Vec3{5.0f, 0.0f, 0.0f}) && loaded() == (Vec3{}));
    select({0.0f, 0.0f, 10.0f});
    stepCrowd(16.0f); // the arrival runs; the way home still waits
    EXPECT_EQ(app.viewMode, ViewMode::Focused);
    const Vec3 arrived = input.viewOffset;
    stepCrowd(16.0f);
    EXPECT_TRUE(app.viewMode == ViewMode::Travelling && input.viewOffset.x < arrived.x);

    // Fire frames change once past their time and wrap at five.
    resetScene();
    for (FireAnimation& fire : crowd.fires)
        fire.frameMs = 50;
    crowd.fires[3].frame = 4;
    stepCrowd(30.0f);
    stepCrowd(20.0f); // exactly 50: not yet
    EXPECT_EQ(crowd.fires[0].frame, 0);
    stepCrowd(1.0f);
    for (const FireAnimation& fire : crowd.fires)
        EXPECT_EQ(float(fire.frame) + fire.elapsedMs, &fire == &crowd.fires[3] ? 0.0f : 1.0f);
    select({40.0f, 20.0f, 40.0f}); // also while the camera travels
    stepCrowd(60.0f);
    EXPECT_TRUE(app.viewMode == ViewMode::Travelling && crowd.fires[4].frame == 2);
}
