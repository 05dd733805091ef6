#include "crowd/StillHall.h"

#include "app/Camera.h"
#include "crowd/CrowdBatch.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/freeglut.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
// The loaded crowd and hall, the camera at a person whose light shaft reaches below the floor:
// each frame is drawn with the still hall and again without it, and both must be the same bytes.
class StillHallTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
        crowd.load();
        AppState::setFixedGlState();
        crowd.selectedPerson = crowd.grid[cellIndex(2, 8)].front().get();
        app.viewMode = ViewMode::Focused;
        const Vec3 head = crowd.selectedPerson->headPos;
        input.viewOffset = Vec3{-head.x, -head.y - 8.0f, -head.z - 25.0f};
        Camera::instance().reshape(windowWidth, windowHeight);
        crowd.stillHall = std::make_unique<StillHall>();
    }
    // The colour and depth after one frame of the scene, cleared first as the program does.
    std::vector<uint32_t> draw() const {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        crowd.draw();
        glPopMatrix();
        const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
        std::vector<uint32_t> pixels(size_t(width) * height * 2);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT,
                     pixels.data() + pixels.size() / 2);
        glutSwapBuffers(); // as the program does: the window's buffers follow its size
        return pixels;
    }
    // The next frame, the people a little further in their sway: what the still hall did.
    HallStep frame() {
        app.currentTimeMs += 16;
        const std::vector<uint32_t> kept = draw();
        std::unique_ptr<StillHall> aside = std::move(crowd.stillHall);
        const std::vector<uint32_t> drawn = draw();
        crowd.stillHall = std::move(aside);
        EXPECT_TRUE(kept == drawn)
            << "the frame with the still hall differs, after step " << int(crowd.stillHall->step());
        return crowd.stillHall->step();
    }
};

// The same, with Mesa told to offer OpenGL 2.1 without framebuffer objects. The overrides take
// effect on a context made after them: ctest runs each case in a process of its own.
class StillHallWithoutFramebufferObjects : public StillHallTest {
  protected:
    void SetUp() override {
        setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
        setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_framebuffer_object", 1);
        StillHallTest::SetUp();
    }
};

// Waits for the window to take its new size and, when asked, gives the view that size.
void resizeWindow(int width, int height, bool reshape = true) {
    glutDisplayFunc([] {}); // GLUT's events need one
    glutReshapeWindow(width, height);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((glutGet(GLUT_WINDOW_WIDTH) != width || glutGet(GLUT_WINDOW_HEIGHT) != height) &&
           std::chrono::steady_clock::now() < until)
        glutMainLoopEvent();
    if (reshape)
        Camera::instance().reshape(width, height);
}
} // namespace

TEST_F(StillHallTest, AnyChangeOfViewSizeOrPictureDrawsTheHallAnewAStillOneIsRestoredExactly) {
    Camera& camera = Camera::instance();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a shake", [&] { camera.startShake(), camera.update(16.0f); }},
        {"the shake's end", [&] { camera.update(1000.0f), camera.reshape(1024, 512); }},
        {"a step of travel", [&] { input.viewOffset.z -= 0.01f, camera.reshape(1024, 512); }},
        {"the field of view", [&] { input.fieldOfView = 54.0f, camera.reshape(1024, 512); }},
        {"the window's size", [] { resizeWindow(1000, 520); }},
        {"the size back", [] { resizeWindow(windowWidth, windowHeight); }},
        {"the window's size alone", [] { resizeWindow(1000, 520, false); }},
        {"the viewport alone", [] { glViewport(0, 0, 512, 256); }},
        {"the backdrop's picture", [&] { crowd.backdropSprite = crowd.floorSprite; }},
        {"the clear colour", [] { glClearColor(0.0f, 0.0f, 0.2f, 1.0f); }},
    };
    for (const auto& [what, change] : changes) {
        while (frame() != HallStep::Restore && !HasFailure()) {
        }
        change();
        EXPECT_EQ(frame(), HallStep::Draw) << what;
        EXPECT_EQ(frame(), HallStep::DrawAndCopy) << what;
        EXPECT_EQ(frame(), HallStep::Restore) << what;
    }
    // A still view's hall is restored from its copy exactly, with either renderer.
    for (const bool batched : {false, true}) {
        crowd.stillHall = std::make_unique<StillHall>();
        std::string reason;
        if (batched) {
            ASSERT_TRUE(crowd.drawBatched(reason)) << reason;
        }
        for (const HallStep expected :
             {HallStep::Draw, HallStep::DrawAndCopy, HallStep::Restore, HallStep::Restore})
            EXPECT_EQ(frame(), expected) << batched;
        EXPECT_TRUE(crowd.stillHall->copying);
    }
}

TEST_F(StillHallWithoutFramebufferObjects, TheHallIsDrawnEveryFrame) {
    if (std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION))).rfind("2.1", 0) != 0)
        GTEST_SKIP() << "the context was made before the overrides";
    testing::internal::CaptureStderr();
    for (const HallStep expected :
         {HallStep::Draw, HallStep::DrawAndCopy, HallStep::Draw, HallStep::Draw})
        EXPECT_EQ(frame(), expected);
    EXPECT_FALSE(crowd.stillHall->copying);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "throngwick: the hall is drawn anew every frame: the graphics library has no "
              "framebuffer objects\n");
}
