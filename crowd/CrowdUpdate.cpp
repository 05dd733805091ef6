#include "crowd/Crowd.h"

#include "app/AppState.h"
#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "interaction/InputController.h"

namespace {
constexpr float arrivalDistance = 25.0f;    // world units from the selected person
constexpr float homeDistance = 1.0f;        // world units from the home view
constexpr int32_t zoomOutRampLength = 2000; // ms of ease-in on the way home
constexpr float sidewaysBoost = 0.1f;       // the travel moves faster along x
} // namespace

void Crowd::update() {
    const AppState& app = AppState::instance();
    const float dt = app.frameDeltaMs;
    for (int cellX = 0; cellX < gridColumns; ++cellX)
        for (int cellZ = 0; cellZ < gridRows; ++cellZ) {
            CellList& list = grid[cellIndex(cellX, cellZ)];
            // An update may take its person out of this list: the size is read before every call.
            for (unsigned k = 0; k < list.size(); ++k)
                list[k]->update(k);
        }

    if (zoomingIn && selectedPerson)
        travelToSelected(dt);
    else if (zoomingOut && selectedPerson)
        travelHome(dt);

    for (FireAnimation& fire : fires)
        fire.advance(dt);
}

void Crowd::travelToSelected(float dt) {
    AppState& app = AppState::instance();
    InputController& input = InputController::instance();
    app.viewMode = ViewMode::Travelling;
    const Vec3 d = selectedPerson->headPos - input.nearPoint;
    const float distance = length(d);
    // A zero distance would give no direction; the view then stays where it is.
    const Vec3 u = distance > 0.0f ? d / distance : Vec3{};
    if (distance < arrivalDistance) {
        zoomingIn = 0;
        app.viewMode = ViewMode::Focused;
        OptionCard::instance().swingIn();
    }
    // The view moves on the frame of arrival too.
    input.viewOffset.x -= (zoomInSpeed + sidewaysBoost) * dt * u.x;
    input.viewOffset.y -= zoomInSpeed * dt * u.y;
    input.viewOffset.z -= zoomInSpeed * dt * u.z;
    Camera::instance().reshape(app.width, app.height);
}

void Crowd::travelHome(float dt) {
    AppState& app = AppState::instance();
    InputController& input = InputController::instance();
    float rate = zoomOutRate;
    if (zoomOutRampMs < zoomOutRampLength) {
        zoomOutRampMs = static_cast<int32_t>(static_cast<float>(zoomOutRampMs) + dt);
        rate = static_cast<float>(zoomOutRampMs) * 0.0005f * zoomOutRate;
    }
    app.viewMode = ViewMode::Travelling;
    const Vec3 home = input.homeViewOffset;
    if (length(input.viewOffset - home) < homeDistance) {
        zoomOutRampMs = 0;
        input.viewOffset = home; // the travel ends exactly on the home view
        zoomingOut = 0;
        app.viewMode = ViewMode::Overview;
    } else {
        input.viewOffset = input.viewOffset + (home - input.viewOffset) * dt * rate;
    }
    Camera::instance().reshape(app.width, app.height);
}
