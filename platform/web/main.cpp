// The browser build's start-up, the desktop's (visit/StartUp.cpp). The page has written the
// pictures into ./image_data/ (the sounds go to Web Audio) and turned its address's query into
// the options (?seed=7 is --seed 7); the canvas's size is the window's. main returns once the
// scene is ready, and the page runs its frames from then on.
#include "visit/StartUp.h"

int main(int argc, char** argv) {
    return startUp(argc, argv);
}
