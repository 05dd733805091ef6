#include "support/Scene.h"

#include "app/Camera.h"
#include "app/DistantExplosions.h"
#include "assets/OptionCard.h"

#include <cstdlib>
#include <deque>
#include <memory>

namespace {
std::deque<int32_t> scripted;

int32_t scriptedDraw() {
    EXPECT_FALSE(scripted.empty()) << "the code took more draws than the test scripted";
    const int32_t draw = scripted.empty() ? 0 : scripted.front();
    if (!scripted.empty())
        scripted.pop_front();
    return draw;
}
} // namespace

void resetScene() {
    setRandomSource(nullptr);
    seedRandom(12345u);
    Crowd::instance() = Crowd();
    zoomOutRampMs = 0;
    AppState& app = AppState::instance();
    app.viewMode = ViewMode::Overview;
    app.frameDeltaMs = 0.0f;
    app.currentTimeMs = 0;
    app.width = 1024;
    app.height = 512;
    InputController::instance() = InputController();
    Camera::instance() = Camera();
    OptionCard::instance() = OptionCard();
    distantExplosions = DistantExplosions();
    musicPending = true;
    fireLoopPending = true;
}

Person& place(float x, float z, float y) {
    auto person = std::make_unique<Person>(0, 0);
    person->headPos = person->homePos = person->targetPos = {x, y, z};
    person->bodyPos = {x, y - 10.0f, z};
    person->burnCheckTimer = person->singCheckTimer = noCheck;
    const Cell cell = cellOf(x, z);
    person->cellX = cell.x;
    person->cellZ = cell.z;
    Person& placed = *person;
    Crowd::instance().file(std::move(person));
    return placed;
}

void scriptDraws(std::initializer_list<int32_t> draws) {
    scripted.assign(draws);
    setRandomSource(scriptedDraw);
}

size_t unusedDraws() {
    return scripted.size();
}

void stepCrowd(float deltaMs) {
    AppState::instance().frameDeltaMs = deltaMs;
    Crowd::instance().update();
}

void expectNear(Vec3 actual, Vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

SoundBank& openSoundBank() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundBank::instance().init();
    return SoundBank::instance();
}
