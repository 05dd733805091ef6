#include "app/Camera.h"

#include "support/Gl.h"
#include "support/Scene.h"

#include <cmath>

namespace {
class CameraTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
    }
    Camera& camera = Camera::instance();
};
} // namespace

TEST_F(CameraTest, ReshapeSetsTheViewKeepingItForNoSizeAndTheShakeFollowsAFadingSine) {
    input.viewOffset = {3.0f, -10.0f, -50.0f};
    camera.shakeOffset = {0.0f, 0.25f, 0.0f};
    camera.reshape(1024, 512);
    EXPECT_EQ(app.width * 1000 + app.height, 1024512);
    ViewMatrices view = readViewMatrices();
    // The field of view and the aspect show in where picking's rays go; the planes here.
    EXPECT_NEAR(view.projection[10], -(1000.0 + 0.1) / (1000.0 - 0.1), 1e-6);
    EXPECT_NEAR(view.projection[14], -2.0 * 1000.0 * 0.1 / (1000.0 - 0.1), 1e-6);
    expectNear({float(view.modelview[12]), float(view.modelview[13]), float(view.modelview[14])},
               {3.0f, -9.75f, -50.0f}, 1e-6f);

    // Sizes of 0 or less keep the last view.
    for (auto [w, h] : {std::pair{0, 400}, {800, 0}, {-1, 400}, {800, -5}}) {
        input.viewOffset = {5.0f, 5.0f, 5.0f};
        camera.reshape(w, h);
        view = readViewMatrices();
        EXPECT_TRUE(view.viewport[2] == 1024 && view.viewport[3] == 512 && app.height == 512 &&
                    view.modelview[12] == 3.0);
    }

    // The shake follows the fading sine for one second, then stops.
    SetUp();
    camera.reshape(1024, 512);
    camera.startShake();
    EXPECT_EQ(readViewMatrices().modelview[13], -19.0); // not before the next update
    float time = 0.0f;
    for (int frame = 0; frame < 16; ++frame) {
        camera.update(62.5f);
        time += 0.0625f;
        const float expected = std::sin(60.0f * time) * (1.0f - time) * 0.35f;
        ASSERT_TRUE(camera.shaking);
        EXPECT_FLOAT_EQ(camera.shakeOffset.y, expected) << frame;
        EXPECT_NEAR(readViewMatrices().modelview[13], -19.0 + expected, 1e-5);
        if (frame < 2) {
            EXPECT_NEAR(expected, frame == 0 ? -0.1875f : 0.2873f, 1e-4f);
        }
    }
    EXPECT_EQ(camera.shakeTime, 1.0f); // exactly one second still shakes
    camera.update(1.0f);
    EXPECT_TRUE(!camera.shaking && camera.shakeOffset.y == 0.0f);
    input.viewOffset.x = 7.0f;
    camera.update(16.0f); // without a shake the view is left alone
    EXPECT_EQ(readViewMatrices().modelview[12], 0.0);
}
