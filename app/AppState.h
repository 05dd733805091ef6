// The window size, the frame clock and the view mode; owns start-up and the frame loop's
// idle and display handlers. Picking's ray tests live here too (defined with the picking code).
#pragma once

#include "base/Vec3.h"

#include <cstdint>

enum class ViewMode : int32_t {
    Overview = 0,   // the whole hall; a left click picks
    Focused = 1,    // the camera is at the selected person; number keys act
    Travelling = 2, // the camera moves to the person or back home
};

class AppState {
  public:
    int32_t width = 0;  // window pixels
    int32_t height = 0; // window pixels
    // Whole milliseconds as 64-bit integers: a float would round them after a few hours.
    int64_t previousTimeMs = 0; // the frame clock at the previous idle call
    int64_t currentTimeMs = 0;  // the frame clock at the latest idle call, less pausedMs
    float frameDeltaMs = 0.0f;  // whole milliseconds of the step being run; 0 paused
    ViewMode viewMode = ViewMode::Overview;
    bool paused = false;            // the scene's clock stands still: nothing moves, nothing sounds
    int64_t pausedMs = 0;           // milliseconds spent paused, left out of the scene's clock
    void (*beforeSwap)() = nullptr; // sees each drawn frame before it is shown; none by default

    // Created on first use (just after the window, sampling the clock); GLUT thread only.
    static AppState& instance();
    AppState();

    // The fixed GL state, the generator's seed, the crowd, the title, sound and the card. The
    // seed is the calendar time's, or the one given on the command line or in a recording.
    bool initialise(int windowId, int newWidth, int newHeight, uint32_t seed);
    // The state every drawing function starts from: black clear, smooth shading, back faces
    // culled, depth test (LEQUAL), normalised normals, 2D texturing on.
    static void setFixedGlState();
    void idle();
    // The idle handler with the clock at nowMs instead of GLUT's. A frame longer than
    // longestStepMs runs as the ordinary frames of its time would, in steps no longer than that;
    // of a stall longer than longestCatchUpMs, the rest passes with nothing moving.
    void idleAt(int64_t nowMs);
    // Expects the fixed state; leaves it, with the model-view matrix as it found it.
    void display();
    // The idle handler's clock step, from the frame clock's milliseconds.
    void advanceClock(int64_t nowMs);
    // Stops the scene's clock and its sound, or lets both go on as if no time had passed.
    void setPaused(bool pause);

    // Ray against triangle over the whole line, both faces; the hit from barycentric weights.
    static bool intersectTriangle(Vec3 origin, Vec3 direction, Vec3 t0, Vec3 t1, Vec3 t2,
                                  Vec3& hit);
    // Triangles (q0, q2, q3) then (q0, q3, q1).
    static bool intersectQuad(Vec3 origin, Vec3 direction, Vec3 q0, Vec3 q1, Vec3 q2, Vec3 q3,
                              Vec3& hit);

  private:
    // The running scene's updates for one step of frameDeltaMs.
    void step();
};

constexpr int64_t longestStepMs = 50;      // a frame's updates move at most this far at once
constexpr int64_t longestCatchUpMs = 1000; // the most of a stall the scene makes up for

// GLUT's elapsed milliseconds, which wrap around after 24.8 days as an int, counted on in 64 bits
// from the first call; GLUT thread only.
int64_t frameClockMs();
// The clock after previousMs when GLUT's 32-bit clock reads raw: GLUT's count moves on modulo 2^32.
int64_t advanceFrameClock(int64_t previousMs, int32_t raw);
