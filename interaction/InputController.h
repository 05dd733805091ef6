// Receives mouse and keyboard events and holds what the view and the crowd read:
// the field of view, the view offsets, the title/running flag and the cursor's floor and near
// points.
#pragma once

#include "base/Vec3.h"

#include <cstdint>

class InputController {
  public:
    float fieldOfView = 55.0f;              // vertical, degrees
    Vec3 viewOffset{0.0f, -19.0f, -145.0f}; // the world's translation: eye at (0, 19, 145)
    Vec3 floorPoint;                        // where the cursor's ray last met the floor
    // The cursor starts over the start-up window's floor, where the arrow keys first move it.
    float mouseX = 512.0f;                      // window pixels from the left
    float mouseY = 384.0f;                      // window pixels from the top
    int32_t running = 0;                        // 0 on the title screen, 1 once the scene runs
    Vec3 nearPoint;                             // the cursor's point on the near plane, world units
    Vec3 homeViewOffset{0.0f, -19.0f, -145.0f}; // where the return travel ends

    // Created on first use by a GLUT handler; GLUT thread only.
    static InputController& instance();

    // A drag changes nothing.
    void onMotion(int x, int y);
    // Paused, these two only follow the cursor: the light shaft stays in the still frame.
    void onPassiveMotion(int x, int y);
    void onMouse(int button, int state, int x, int y);
    // Keeps the cursor's points true while the camera moves; once per running frame.
    void updateFrame();
    // Esc, 1 to 4, M (silence) and P (pause); paused, only Esc, M and P act. Enter is a left
    // click at the cursor, and Space on the title enters the hall, for people without a pointer.
    void onKeyboard(unsigned char key, int x, int y);
    // The arrow keys move the cursor by keyStepPixels, kept inside the window, as the pointer
    // would; other special keys do nothing.
    void onSpecialKey(int key, int x, int y);
    // Key releases: nothing.
    void onOtherKey(int key, int x, int y);
};

constexpr int keyStepPixels = 16; // an arrow key's move of the cursor, in window pixels
constexpr unsigned char enterKey = 13;
constexpr unsigned char spaceKey = 32;

// The music and the fire loop each start once per run, on the first command that needs them.
extern bool musicPending;
extern bool fireLoopPending;
