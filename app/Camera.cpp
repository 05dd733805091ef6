#include "app/Camera.h"

#include "app/AppState.h"
#include "interaction/InputController.h"

#include <GL/glu.h>
#include <cmath>

namespace {
constexpr double nearPlane = 0.1;
constexpr double farPlane = 1000.0;
constexpr float shakeSeconds = 1.0f;
} // namespace

Camera& Camera::instance() {
    static Camera camera;
    return camera;
}

void Camera::reshape(int w, int h) {
    if (w <= 0 || h <= 0)
        return; // a minimised window keeps the last view
    viewportWidth = w;
    AppState& app = AppState::instance();
    app.height = h;
    app.width = w;
    viewportHeight = h;
    aspect = static_cast<float>(static_cast<double>(w) / static_cast<double>(h));

    const InputController& input = InputController::instance();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(input.fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vec3 translation = input.viewOffset + shakeOffset;
    glTranslatef(translation.x, translation.y, translation.z);
}

void Camera::update(float deltaMs) {
    if (!shaking)
        return;
    shakeTime = shakeTime + deltaMs * 0.001f;
    if (shakeTime > shakeSeconds) {
        // The zero offset takes effect at the next reshape.
        shaking = false;
        shakeTime = 0.0f;
        shakeOffset = Vec3{};
        return;
    }
    // About 9.5 oscillations a second, fading linearly to nothing over the second.
    shakeOffset.y = std::sin(60.0f * shakeTime) * (1.0f - shakeTime) * 0.35f;
    const AppState& app = AppState::instance();
    reshape(app.width, app.height);
}

void Camera::startShake() {
    shaking = true;
    shakeTime = 0.0f;
    shakeOffset = Vec3{};
}
