// The view: viewport, perspective projection, the world's translation and the screen shake.
// Reads the input controller's field of view and view offset; writes the window size to AppState.
#pragma once

#include "base/Vec3.h"

#include <cstdint>

class Camera {
  public:
    float shakeTime = 0.0f; // seconds since the running shake started
    bool shaking = false;
    Vec3 shakeOffset;           // added to the view translation; only y is ever non-zero
    int32_t viewportWidth = 0;  // pixels, last accepted reshape
    int32_t viewportHeight = 0; // pixels, last accepted reshape
    float aspect = 0.0f;        // viewportWidth / viewportHeight

    // Created on first use by a GLUT handler; GLUT thread only.
    static Camera& instance();

    // Sizes of 0 or less are ignored. Sets viewport and projection; leaves the model-view matrix
    // current, holding only the view's translation.
    void reshape(int w, int h);
    // Advances a running shake by deltaMs and reapplies the view.
    void update(float deltaMs);
    void startShake();
};
