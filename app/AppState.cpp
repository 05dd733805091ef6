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

#include <GL/freeglut.h>

AppState& AppState::instance() {
    static AppState app;
    return app;
}

AppState::AppState() : previousTimeMs(static_cast<float>(glutGet(GLUT_ELAPSED_TIME))) {}

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

void AppState::advanceClock(float nowMs) {
    const float deltaMs = nowMs - previousTimeMs;
    previousTimeMs = nowMs;
    if (paused) {
        pausedMs += deltaMs;
        frameDeltaMs = 0.0f;
        return;
    }
    currentTimeMs = nowMs - pausedMs;
    frameDeltaMs = deltaMs;
}

void AppState::setPaused(bool pause) {
    paused = pause;
    SoundBank::instance().setPaused(pause);
}

void AppState::idle() {
    idleAt(static_cast<float>(glutGet(GLUT_ELAPSED_TIME)));
}

void AppState::idleAt(float nowMs) {
    advanceClock(nowMs);
    if (paused)
        return; // the frame on screen stays; GLUT draws it again when it is uncovered
    if (InputController::instance().running) {
        InputController::instance().updateFrame();
        distantExplosions.update(frameDeltaMs);
        Crowd::instance().update();
        OptionCard::instance().update(frameDeltaMs * 0.001f);
    }
    glutPostRedisplay();
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
