#include "app/Camera.h"
#include "app/AppState.h"
#include "interaction/InputController.h"
#include "support/GlContext.h"

#include <GL/glu.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {
struct GlView {
    GLint viewport[4];
    GLdouble modelview[16];
    GLdouble projection[16];
};

GlView readView() {
    GlView view;
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    return view;
}

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        camera = Camera();
        InputController::instance() = InputController();
    }
    Camera& camera = Camera::instance();
};
} // namespace

TEST_F(CameraTest, ReshapeSetsViewportProjectionAndTranslation) {
    camera.reshape(1024, 512);
    EXPECT_EQ(camera.aspect, 2.0f);
    EXPECT_EQ(AppState::instance().width, 1024);
    EXPECT_EQ(AppState::instance().height, 512);
    const GlView view = readView();
    EXPECT_EQ(view.viewport[2], 1024);
    EXPECT_EQ(view.viewport[3], 512);
    // gluPerspective: f / aspect and f on the diagonal, with f = cot(27.5 degrees).
    const double f = 1.0 / std::tan(27.5 * M_PI / 180.0);
    EXPECT_NEAR(view.projection[0], f / 2.0, 1e-5);
    EXPECT_NEAR(view.projection[5], f, 1e-5);
    EXPECT_NEAR(view.projection[10], -(1000.0 + 0.1) / (1000.0 - 0.1), 1e-6);
    EXPECT_NEAR(view.projection[14], -2.0 * 1000.0 * 0.1 / (1000.0 - 0.1), 1e-6);
    EXPECT_DOUBLE_EQ(view.modelview[12], 0.0);
    EXPECT_DOUBLE_EQ(view.modelview[13], -19.0);
    EXPECT_DOUBLE_EQ(view.modelview[14], -145.0);
    EXPECT_DOUBLE_EQ(view.modelview[0], 1.0); // no rotation
}

TEST_F(CameraTest, SizesOfZeroOrLessChangeNothing) {
    camera.reshape(800, 400);
    const GlView before = readView();
    for (auto [w, h] : {std::pair{0, 400}, {800, 0}, {-1, 400}, {800, -5}, {0, 0}}) {
        InputController::instance().viewOffset = {5.0f, 5.0f, 5.0f};
        camera.reshape(w, h);
        const GlView after = readView();
        EXPECT_EQ(after.viewport[2], 800);
        EXPECT_EQ(after.viewport[3], 400);
        EXPECT_EQ(after.modelview[12], before.modelview[12]);
        EXPECT_EQ(camera.aspect, 2.0f);
        EXPECT_EQ(AppState::instance().width, 800);
        EXPECT_EQ(AppState::instance().height, 400);
    }
}

TEST_F(CameraTest, TranslationAddsViewOffsetAndShakeOffset) {
    InputController::instance().viewOffset = {3.0f, -10.0f, -50.0f};
    camera.shakeOffset = {0.0f, 0.25f, 0.0f};
    camera.reshape(640, 480);
    const GlView view = readView();
    EXPECT_FLOAT_EQ(static_cast<float>(view.modelview[12]), 3.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(view.modelview[13]), -9.75f);
    EXPECT_FLOAT_EQ(static_cast<float>(view.modelview[14]), -50.0f);
}

TEST_F(CameraTest, StartShakeDoesNotMoveTheViewUntilTheNextUpdate) {
    camera.reshape(1024, 512);
    camera.startShake();
    EXPECT_TRUE(camera.shaking);
    EXPECT_EQ(readView().modelview[13], -19.0);
    camera.update(16.0f);
    const float expected = std::sin(60.0f * 0.016f) * (1.0f - 0.016f) * 0.35f;
    EXPECT_FLOAT_EQ(camera.shakeOffset.y, expected);
    EXPECT_NEAR(expected, 0.28f, 0.005f);
    EXPECT_NEAR(readView().modelview[13], -19.0 + expected, 1e-5);
}

TEST_F(CameraTest, ShakeOffsetsFollowTheDecayingSine) {
    camera.reshape(1024, 512);
    camera.startShake();
    float time = 0.0f;
    for (int frame = 0; frame < 60; ++frame) {
        camera.update(16.0f);
        time += 16.0f * 0.001f;
        ASSERT_TRUE(camera.shaking);
        EXPECT_FLOAT_EQ(camera.shakeOffset.y, std::sin(60.0f * time) * (1.0f - time) * 0.35f);
        EXPECT_EQ(camera.shakeOffset.x, 0.0f);
        EXPECT_EQ(camera.shakeOffset.z, 0.0f);
    }
}

TEST_F(CameraTest, ShakeEndsOnTheFirstUpdatePastOneSecond) {
    camera.reshape(1024, 512);
    camera.startShake();
    for (int i = 0; i < 4; ++i)
        camera.update(250.0f);
    // Exactly 1.0 s still applies an offset, which is then 0.
    EXPECT_TRUE(camera.shaking);
    EXPECT_EQ(camera.shakeTime, 1.0f);
    EXPECT_FLOAT_EQ(camera.shakeOffset.y, 0.0f);
    camera.update(1.0f);
    EXPECT_FALSE(camera.shaking);
    EXPECT_EQ(camera.shakeTime, 0.0f);
    EXPECT_EQ(camera.shakeOffset.y, 0.0f);
}

TEST_F(CameraTest, OneVeryLongFrameEndsAFreshShakeWithNoOffset) {
    camera.reshape(1024, 512);
    camera.startShake();
    camera.update(1500.0f);
    EXPECT_FALSE(camera.shaking);
    EXPECT_EQ(camera.shakeOffset.y, 0.0f);
    EXPECT_EQ(readView().modelview[13], -19.0);
}

TEST_F(CameraTest, ShakeRestartsWhileRunning) {
    camera.reshape(1024, 512);
    camera.startShake();
    camera.update(600.0f);
    camera.startShake();
    EXPECT_EQ(camera.shakeTime, 0.0f);
    EXPECT_EQ(camera.shakeOffset.y, 0.0f);
    camera.update(600.0f);
    EXPECT_TRUE(camera.shaking);
}

TEST_F(CameraTest, UpdateWithoutShakeLeavesTheViewAlone) {
    camera.reshape(1024, 512);
    InputController::instance().viewOffset = {1.0f, 2.0f, 3.0f};
    camera.update(16.0f);
    EXPECT_EQ(readView().modelview[12], 0.0);
}
