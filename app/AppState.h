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
    int32_t width = 0;           // window pixels
    int32_t height = 0;          // window pixels
    float previousTimeMs = 0.0f; // GLUT elapsed time at the previous idle call
    float currentTimeMs = 0.0f;  // GLUT elapsed time at the latest idle call, less pausedMs
    float frameDeltaMs = 0.0f;   // whole milliseconds between the two latest idle calls; 0 paused
    ViewMode viewMode = ViewMode::Overview;
    bool paused = false;            // the scene's clock stands still: nothing moves, nothing sounds
    float pausedMs = 0.0f;          // GLUT milliseconds spent paused, left out of the scene's clock
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
    // The idle handler with the clock at nowMs instead of GLUT's.
    void idleAt(float nowMs);
    // Expects the fixed state; leaves it, with the model-view matrix as it found it.
    void display();
    // The idle handler's clock step, from GLUT's elapsed milliseconds.
    void advanceClock(float nowMs);
    // Stops the scene's clock and its sound, or lets both go on as if no time had passed.
    void setPaused(bool pause);

    // Ray against triangle over the whole line, both faces; the hit from barycentric weights.
    static bool intersectTriangle(Vec3 origin, Vec3 direction, Vec3 t0, Vec3 t1, Vec3 t2,
                                  Vec3& hit);
    // Triangles (q0, q2, q3) then (q0, q3, q1).
    static bool intersectQuad(Vec3 origin, Vec3 direction, Vec3 q0, Vec3 q1, Vec3 q2, Vec3 q3,
                              Vec3& hit);
};
