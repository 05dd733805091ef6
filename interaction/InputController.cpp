#include "interaction/InputController.h"

#include "app/AppState.h"
#include "assets/OptionCard.h"
#include "assets/SoundBank.h"
#include "base/Catalogue.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "interaction/Picking.h"

#include <GL/glut.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool musicPending = true;
bool fireLoopPending = true;

InputController& InputController::instance() {
    static InputController controller;
    return controller;
}

void InputController::onMotion(int, int) {}

void InputController::onPassiveMotion(int x, int y) {
    mouseX = static_cast<float>(x);
    mouseY = static_cast<float>(y);
    // Paused, the light shaft stays in the still frame; it finds the cursor when time goes on.
    if (!AppState::instance().paused)
        intersectFloor(screenRay(x, y), frontFloorQuad, floorPoint);
}

void InputController::onMouse(int button, int state, int x, int y) {
    mouseX = static_cast<float>(x);
    mouseY = static_cast<float>(y);
    if (AppState::instance().paused)
        return; // a still scene takes no clicks
    if (state == GLUT_DOWN) {
        // Only the press looks at the back half of the floor.
        if (button == GLUT_LEFT_BUTTON)
            intersectFloor(screenRay(x, y), wholeFloorQuad, floorPoint);
        return;
    }
    if (state != GLUT_UP)
        return;
    if (!running) {
        running = 1; // the release that starts the scene does nothing else
        return;
    }
    if (button != GLUT_LEFT_BUTTON)
        return;
    const Ray ray = screenRay(x, y);
    Vec3 hit;
    if (!intersectFloor(ray, frontFloorQuad, hit))
        return;
    std::printf("X:%f Y:%f Z:%f \n", static_cast<double>(ray.origin.x),
                static_cast<double>(ray.origin.y), static_cast<double>(ray.origin.z));
    nearPoint = ray.origin;
    if (AppState::instance().viewMode == ViewMode::Overview) {
        Crowd::instance().pickNearest(hit);
        SoundBank::instance().playSample(firstCrowdVoiceSample + randomDraw() % crowdVoiceSamples);
    }
    floorPoint = hit;
}

void InputController::updateFrame() {
    // The ray's origin is the cursor's point on the near plane.
    const Ray ray = screenRay(static_cast<int>(mouseX), static_cast<int>(mouseY));
    nearPoint = ray.origin;
    intersectFloor(ray, frontFloorQuad, floorPoint);
}

void InputController::onKeyboard(unsigned char key, int, int) {
    AppState& app = AppState::instance();
    SoundBank& sound = SoundBank::instance();
    switch (key) {
    case 27:
        std::exit(0);
    case spaceKey:
        if (running)
            return;
        [[fallthrough]];
    case enterKey: {
        const int cursorX = static_cast<int>(mouseX);
        const int cursorY = static_cast<int>(mouseY);
        onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, cursorX, cursorY);
        onMouse(GLUT_LEFT_BUTTON, GLUT_UP, cursorX, cursorY);
        return;
    }
    case 'm':
    case 'M':
        sound.setSilent(!sound.silent);
        return;
    case 'p':
    case 'P':
        app.setPaused(!app.paused);
        return;
    default:
        break;
    }
    if (app.paused)
        return; // a still scene takes no commands
    const bool focused = app.viewMode == ViewMode::Focused;
    Crowd& crowd = Crowd::instance();
    Person* const selected = crowd.selectedPerson;
    switch (key) {
    case '1':
        if (!focused)
            return;
        if (selected) {
            selected->state = PersonState::Singing;
            if (musicPending) {
                sound.playMusic(catalogue::soundPath(catalogue::musicSound).c_str());
                musicPending = false;
            }
        }
        break;
    case '2':
        if (!focused)
            return;
        if (selected)
            selected->state = PersonState::Armed;
        break;
    case '3':
        if (!focused)
            return;
        if (selected) {
            selected->state = PersonState::Burning;
            sound.playSample(firstFireStartSample + randomDraw() % fireStartSamples);
            if (fireLoopPending) {
                sound.playSample(fireLoopSample);
                fireLoopPending = false;
            }
        }
        break;
    case '4':
        break; // in every mode and phase
    default:
        return;
    }
    // The common ending: everybody home, the camera back, the card away.
    crowd.sendAllHome();
    crowd.zoomingOut = 1;
    OptionCard::instance().swingOut();
}

void InputController::onSpecialKey(int key, int, int) {
    int dx = 0;
    int dy = 0;
    switch (key) {
    case GLUT_KEY_LEFT:
        dx = -keyStepPixels;
        break;
    case GLUT_KEY_RIGHT:
        dx = keyStepPixels;
        break;
    case GLUT_KEY_UP:
        dy = -keyStepPixels;
        break;
    case GLUT_KEY_DOWN:
        dy = keyStepPixels;
        break;
    default:
        return;
    }
    const AppState& app = AppState::instance();
    onPassiveMotion(std::clamp(static_cast<int>(mouseX) + dx, 0, std::max(0, app.width - 1)),
                    std::clamp(static_cast<int>(mouseY) + dy, 0, std::max(0, app.height - 1)));
}

void InputController::onOtherKey(int, int, int) {}
