// The card pinned at the lower right of the view that names the commands; swings in on
// arrival at a person and out on a command. Its own texture, display list and GL state.
#pragma once

#include <cstdint>

enum class CardState : int32_t {
    Shown = 0,       // stands up at -10 degrees
    PutAway = 1,     // turned down at 70 degrees
    SwingingIn = 2,  // from 70 down to -10 degrees in half a second
    SwingingOut = 3, // from -10 up to 70 degrees in half a second
};

class OptionCard {
  public:
    uint32_t cardList = 0; // display list: binds the card texture and draws the card quad
    float angle = 70.0f;   // degrees about z, counter-clockwise about the pivot
    CardState state = CardState::PutAway;
    float timer = 0.0f; // seconds since the current state was entered

    // Created on first use, put away; GLUT thread only.
    static OptionCard& instance();

    // Loads the picture and compiles the list; needs a current OpenGL context.
    void init();
    void update(float seconds);
    // Sets its own blending and alpha test; leaves 2D texturing and the depth test on, blending
    // and the alpha test off, the card texture bound and the colour opaque white.
    void draw() const;
    // A request for the current state changes nothing.
    void setState(CardState newState);
    void hide() { setState(CardState::PutAway); }
    void swingIn() { setState(CardState::SwingingIn); }
    void swingOut() { setState(CardState::SwingingOut); }
    // The line (1 to 4) of the card's picture under a window pixel (x from the left, y from the
    // top) as the card is drawn at its angle under the view's perspective; 0 off the lines.
    int32_t lineAt(float x, float y, int32_t width, int32_t height, float fieldOfView) const;
};
