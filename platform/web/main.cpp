// The browser build's start-up. The page has written the pictures into ./image_data/ (the sounds
// it decoded for Web Audio) and turned its address's query into the options (?seed=7 is
// --seed 7); the canvas's size is the window's. main returns once the scene is ready, and the
// page runs its frames from then on.
#include "app/GlutCallbacks.h"
#include "app/Options.h"
#include "app/Visit.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    std::string error;
    Visit& visit = Visit::instance();
    if (!parseOptions(argc, argv, options, error) ||
        (!options.replayFile.empty() &&
         !visit.replay(options.replayFile, options.fps, options.framesFolder, error))) {
        std::fprintf(stderr, "throngwick: %s\n", error.c_str());
        return 2;
    }
    uint32_t seed = options.seedGiven ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    int32_t width = glutGet(GLUT_WINDOW_WIDTH); // the canvas's, as the page laid it out
    int32_t height = glutGet(GLUT_WINDOW_HEIGHT);
    if (visit.mode == Visit::Mode::Replaying) {
        seed = visit.played.seed;
        width = visit.played.width;
        height = visit.played.height;
    }

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    const int window = glutCreateWindow("Throngwick");
    if (window == 0)
        return 1;
    visit.open(window, seed, width, height, options);
    registerGlutCallbacks();
    glutMainLoop();
    return 0;
}
