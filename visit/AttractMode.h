// The show the hall plays by itself once nobody has touched it for a while: it picks a person,
// waits for the camera, makes them sing, draw or burn, watches the spread, sends everybody home
// and starts again with another person. It only says what to click and type; its driver
// delivers that as a person's input, so a recording keeps the show as it keeps a visit.
#pragma once

#include "base/Random.h"
#include "base/Vec3.h"

#include <cstdint>

// One thing the show does, as a person would.
struct ShowAction {
    enum class Kind { Click, Key };
    Kind kind = Kind::Click;
    int32_t button = 0;    // a click's GLUT button: 0 left, 2 right
    int32_t x = 0;         // a click's window pixels from the left
    int32_t y = 0;         // a click's window pixels from the top
    unsigned char key = 0; // a key's character
};

enum class ShowStep : int32_t {
    Off,         // a person has the hall; the time nobody touches it is counted
    Settling,    // a moment of the still overview before the next pick
    Approaching, // a person picked: the camera is on its way
    Presenting,  // at the person, the card up: a moment before the command
    Watching,    // the command given: the spread is watched
    Returning,   // everybody sent home: the camera comes back
};

class AttractMode {
  public:
    int64_t delayMs = -1; // running time without input before the show, ms; negative: no show
    ShowStep step = ShowStep::Off;
    // Whole milliseconds: a float stops counting frames of a few ms some hours into a day's wait.
    int64_t quietMs = 0;    // running time in the hall since the last input, while Off
    float stepMs = 0.0f;    // running time in the current step
    RandomSequence choices; // draws of its own: the crowd's sequence is left as it is
    Vec3 lastPick;          // the home of the person picked last: the next is another
    bool anchored = false;  // the real pointer's resting place is known
    int32_t anchorX = 0;    // window pixels
    int32_t anchorY = 0;    // window pixels

    // The show starts after delaySeconds without input in the hall; 0: at once, from the title
    // on, and after a person's input again after 30 s. The seed is the crowd's.
    void enable(float delaySeconds, uint32_t seed);
    bool playing() const { return step != ShowStep::Off; }
    // A person's click or key: the hall is theirs at once, and the quiet is counted afresh.
    void noticeInput();
    // A person's pointer at (x, y): true when it has moved farther than a few pixels from where
    // it rested, which is input. It rests anew wherever such a move ends.
    bool pointerMoved(int32_t x, int32_t y);
    // Once a frame, after the scene's update, with that frame's time: true with what the show
    // does now.
    bool next(float deltaMs, ShowAction& action);

  private:
    void enter(ShowStep nextStep);
    // A person the view shows, other than the last one, clicked at their place on the floor.
    bool pick(ShowAction& action);
};
