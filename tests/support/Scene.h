// The scene's singletons for tests: one reset to their start-up state, people placed by hand,
// scripted draws in place of the generator, the sound bank on a silent output, and a comparison
// of vectors.
#pragma once

#include "app/AppState.h"
#include "assets/SoundBank.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"

#include <gtest/gtest.h>

#include <initializer_list>

// Timers far beyond any test's frames: no contagion check runs unless a test asks for it.
constexpr float noCheck = 1.0e6f;

// Every singleton as start-up leaves it; the generator seeded with 12345 before the crowd's draws.
void resetScene();
// An idle person standing still at (x, y, z) with home and target there, filed in its cell.
Person& place(float x, float z, float y = 0.0f);
// From now on the generator returns exactly these draws, in order; one more is a failure.
void scriptDraws(std::initializer_list<int32_t> draws);
size_t unusedDraws();
// One idle call's crowd work with the given frame delta.
void stepCrowd(float deltaMs);
void expectNear(Vec3 actual, Vec3 expected, float tolerance);
// The bank opened on SDL's dummy output with the run folder's sounds; the first call opens it.
SoundBank& openSoundBank();

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override { resetScene(); }
    Crowd& crowd = Crowd::instance();
    AppState& app = AppState::instance();
    InputController& input = InputController::instance();
};
