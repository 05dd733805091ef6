#include "visit/StartUp.h"

#include "visit/GlutCallbacks.h"
#include "visit/Options.h"
#include "visit/Platform.h"
#include "visit/Visit.h"

#include <GL/glut.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {
int refuse(const std::string& error) {
    std::fprintf(stderr, "throngwick: %s\n%s\n", error.c_str(), usageLine());
    return 2;
}
} // namespace

int startUp(int argc, char** argv) {
    // Each output line as it happens, also into a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // Everything the options decide is settled before GLUT opens the display: help, version and
    // bad input need no X server and open no window.
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error))
        return refuse(error);
    if (options.help) {
        std::fputs(helpText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("throngwick %s\n"
                    "Copyright (C) 2026 The Throngwick developers\n"
                    "License: MIT (Expat) <https://opensource.org/license/mit>\n"
                    "This is free software: you are free to change and redistribute it.\n"
                    "There is NO WARRANTY, to the extent permitted by law.\n",
                    THRONGWICK_VERSION);
        return 0;
    }
    std::string dataFolder;
    if (!platform::findData(options.dataFolder, dataFolder, error))
        return refuse(error);
    // Still in the user's working folder, where the recording's and the frames' paths start.
    Visit& visit = Visit::instance();
    if (!options.replayFile.empty() &&
        !visit.replay(options.replayFile, options.fps, options.framesFolder, error))
        return refuse(error);
    if (!options.videoFile.empty() && !visit.makeClip(options.videoFile, error))
        return refuse(error);
    if (!options.recordFile.empty() && !visit.record(options.recordFile, error))
        return refuse(error);
    // The program reads ./image_data/ and ./audio/ relative to its working folder.
    if (!dataFolder.empty() && chdir(dataFolder.c_str()) != 0)
        return refuse("cannot enter " + dataFolder + ": " + std::strerror(errno));
    const bool replaying = visit.mode == Visit::Mode::Replaying;
    uint32_t seed = options.seedGiven ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    int32_t width = 0;
    int32_t height = 0;
    platform::windowSize(width, height);
    if (replaying) {
        seed = visit.played.seed;
        width = visit.played.width;
        height = visit.played.height;
    }

    glutInit(&argc, argv);
    platform::glutStarted();
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    const int window = glutCreateWindow("Throngwick");
    if (window == 0)
        return 1; // said why on standard error
    platform::windowOpened(options.fullscreen || options.screensaver, options.screensaver);
    if (options.screensaver || options.attractSeconds >= 0)
        visit.attract(options.screensaver ? 0.0f : static_cast<float>(options.attractSeconds), seed,
                      options.screensaver);
    visit.open(window, seed, width, height, options);
    registerGlutCallbacks();
    visit.start();
    glutMainLoop();
    return 0;
}
