// Shared by the crowd's tests: a fresh crowd and frame state for every case, people made at a
// spot, and scripted draws that stand in for the program's generator.
#pragma once

#include "app/AppState.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>

namespace crowdtest {

inline std::deque<int32_t>& scriptedQueue() {
    static std::deque<int32_t> queue;
    return queue;
}

inline int32_t scriptedDraw() {
    std::deque<int32_t>& queue = scriptedQueue();
    if (queue.empty()) {
        ADD_FAILURE() << "the code took more draws than the test scripted";
        return 0;
    }
    const int32_t draw = queue.front();
    queue.pop_front();
    return draw;
}

// From now on the generator returns exactly these draws, in order.
inline void scriptDraws(std::initializer_list<int32_t> draws) {
    scriptedQueue().assign(draws);
    setRandomSource(scriptedDraw);
}

inline size_t unusedDraws() {
    return scriptedQueue().size();
}
inline int32_t alwaysZero() {
    return 0;
}

// Timers far beyond any test's frames: no contagion check runs unless a test asks for it.
constexpr float noCheck = 1.0e6f;

inline void expectNear(Vec3 actual, Vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class CrowdFixture : public ::testing::Test {
  protected:
    Crowd& crowd = Crowd::instance();
    AppState& app = AppState::instance();

    void SetUp() override {
        reset();
        seedRandom(12345u);
        InputController::instance() = InputController();
    }
    void TearDown() override { reset(); }

    // Back to the generator, then a fresh crowd (ten draws) and an overview at rest.
    void reset() {
        setRandomSource(nullptr);
        crowd = Crowd();
        zoomOutRampMs = 0;
        app.viewMode = ViewMode::Overview;
        app.frameDeltaMs = 0.0f;
    }

    // An idle person standing still at (x, y, z) with home and target there, filed in its cell.
    Person& place(float x, float z, float y = 0.0f) {
        auto person = std::make_unique<Person>(0, 0);
        person->headPos = person->homePos = person->targetPos = {x, y, z};
        person->bodyPos = {x, y - 10.0f, z};
        person->burnCheckTimer = person->singCheckTimer = noCheck;
        const Cell cell = cellOf(x, z);
        person->cellX = cell.x;
        person->cellZ = cell.z;
        Person& placed = *person;
        crowd.file(std::move(person));
        return placed;
    }

    const CellList& cellAt(int32_t cellX, int32_t cellZ) const {
        return crowd.grid[cellIndex(cellX, cellZ)];
    }

    // One idle call's crowd work with the given frame delta.
    void step(float deltaMs) {
        app.frameDeltaMs = deltaMs;
        crowd.update();
    }
};

} // namespace crowdtest
