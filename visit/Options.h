// The program's own command-line options. GLUT's X options (-display, -geometry, ...) are
// stepped over here and left in place for glutInit.
#pragma once

#include <cstdint>
#include <string>

// How the people and the light shaft are drawn: sprite by sprite (the reference), or from one
// atlas in few draws, which is faster on software renderers and draws the same picture within a
// few texels at alpha-test edges.
enum class Renderer { Classic, Batched };

struct Options {
    bool help = false;
    bool version = false;
    bool seedGiven = false;
    uint32_t seed = 0; // the generator's seed instead of the calendar time
    bool fullscreen = false;
    bool mute = false;        // open no audio device
    bool redrawHall = false;  // draw the hall every frame, never restored from a copy
    std::string dataFolder;   // holds image_data/ and audio/; empty: look in the usual places
    std::string recordFile;   // the visit is written here
    std::string replayFile;   // the visit is played from here
    std::string framesFolder; // the replay's frames go here as PNG files
    std::string videoFile;    // the replay goes here as a clip with its sound
    int32_t fps = 0; // 1 to 1000 frames a second of replay; 0: the recorded frames (30 for a clip)
    Renderer renderer = Renderer::Batched;
    int32_t attractSeconds = -1; // the hall plays by itself after this many seconds; -1: never
    bool screensaver = false;    // full screen, the show at once, the first input ends it
};

// Reads argv[1..argc-1]; false with a one-line error (no newline) on bad input.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

// The text --help prints, and the one-line usage that follows an error.
const char* helpText();
const char* usageLine();
