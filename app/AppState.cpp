#include "app/AppState.h"

#include "app/Camera.h"
#include "app/DistantExplosions.h"
#include "assets/OptionCard.h"
#include "assets/SoundBank.h"
#include "assets/TextureRegistry.h"
#include "base/Catalogue.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"

#include <GL/glut.h>

#include <algorithm>

AppState& AppState::instance() {
    static AppState app;
    return app;
}

AppState::AppState() : previousTimeMs(frameClockMs()) {}

int64_t advanceFrameClock(int64_t previousMs, int32_t raw) {
    // The clock is congruent to GLUT's modulo 2^32, so the unsigned difference is the time passed.
    const uint32_t passedMs = static_cast<uint32_t>(raw) - static_cast<uint32_t>(previousMs);
    return previousMs + passedMs;
}

int64_t frameClockMs() {
    static int64_t clockMs = glutGet(GLUT_ELAPSED_TIME);
    clockMs = advanceFrameClock(clockMs, glutGet(GLUT_ELAPSED_TIME));
    return clockMs;
}

bool AppState::initialise(int, int newWidth, int newHeight, uint32_t seed) {
    width = newWidth;
    height = newHeight;
    viewMode = ViewMode::Overview;
    setFixedGlState();
    seedRandom(seed);
    Crowd::instance().load();
    TextureRegistry::instance().registerSprite(
        "title", catalogue::imagePath(catalogue::titlePicture).c_str(), true);
    SoundBank::instance().init();
    OptionCard::instance().init();
    return true;
}

void AppState::setFixedGlState() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
}

void AppState::advanceClock(int64_t nowMs) {
    const int64_t deltaMs = nowMs - previousTimeMs;
    previousTimeMs = nowMs;
    if (paused) {
        pausedMs += deltaMs;
        frameDeltaMs = 0.0f;
        return;
    }
    currentTimeMs = nowMs - pausedMs;
    frameDeltaMs = static_cast<float>(deltaMs);
}

void AppState::setPaused(bool pause) {
    paused = pause;
    SoundBank::instance().setPaused(pause);
}

void AppState::idle() {
    idleAt(frameClockMs());
}

void AppState::idleAt(int64_t nowMs) {
    advanceClock(nowMs);
    if (paused)
        return; // the frame on screen stays; GLUT draws it again when it is uncovered
    if (InputController::instance().running) {
        const int64_t frameMs = static_cast<int64_t>(frameDeltaMs);
        if (frameMs <= longestStepMs) {
            step();
        } else {
            // Whole-millisecond steps of equal length, the first ones a millisecond longer, so
            // that travels, walks, swings and flames stop where ordinary frames would stop them.
            const int64_t caughtUpMs = std::min(frameMs, longestCatchUpMs);
            const int64_t steps = (caughtUpMs + longestStepMs - 1) / longestStepMs;
            for (int64_t i = 0; i < steps; ++i) {
                frameDeltaMs = static_cast<float>(caughtUpMs / steps + (i < caughtUpMs % steps));
                step();
            }
            frameDeltaMs = static_cast<float>(caughtUpMs); // what the view's shake and the show see
        }
    }
    glutPostRedisplay();
}

void AppState::step() {
    InputController::instance().updateFrame();
    distantExplosions.update(frameDeltaMs);
    Crowd::instance().update();
    OptionCard::instance().update(frameDeltaMs * 0.001f);
}

void AppState::display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    const InputController& input = InputController::instance();
    if (!input.running) {
        // On top of the camera's view offset: the title fills the window from the start-up view.
        const TextureRegistry& registry = TextureRegistry::instance();
        const Vec3 position{input.viewOffset.x, input.viewOffset.y + 37.5f, 0.0f};
        registry.sprite(registry.indexOf("title"))
            .draw(position, {150.0f, 75.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f);
    } else {
        Camera::instance().update(frameDeltaMs);
        Crowd::instance().draw();
        OptionCard::instance().draw();
    }
    if (beforeSwap != nullptr)
        beforeSwap();
    glutSwapBuffers();
    glPopMatrix(); // after the swap
}
