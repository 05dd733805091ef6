// The card pinned at the lower right of the view that names the commands; swings in on
// arrival at a person and out on a command. Its own texture, display list and GL state.
#pragma once

#include <cstdint>

class OptionCard {
  public:
    uint32_t cardList = 0; // display list: binds the card texture and draws the card quad
    float angle = 70.0f;   // degrees about z; 70 put away, -10 shown
    int32_t state = 1;     // 0 shown, 1 put away, 2 swinging in, 3 swinging out
    float timer = 0.0f;    // seconds since the current state was entered

    // Created on first use, put away; GLUT thread only.
    static OptionCard& instance();

    // Loads the picture and compiles the list; needs a current OpenGL context.
    void init();
    void update(float seconds);
    void draw() const;
    // A request for the current state changes nothing.
    void setState(int32_t newState);
    void hide() { setState(1); }
    void swingIn() { setState(2); }
    void swingOut() { setState(3); }
};
