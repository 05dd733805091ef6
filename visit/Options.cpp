#include "visit/Options.h"

#include <limits>

namespace {

// GLUT's own X options: the first group takes a value, the second stands alone.
bool isGlutOptionWithValue(const std::string& name) {
    return name == "-display" || name == "-geometry";
}
bool isGlutFlag(const std::string& name) {
    return name == "-direct" || name == "-indirect" || name == "-iconic" || name == "-gldebug" ||
           name == "-sync";
}

struct Flag {
    const char* name;
    bool Options::*field;
};
const Flag flags[] = {{"--help", &Options::help},
                      {"--version", &Options::version},
                      {"--fullscreen", &Options::fullscreen},
                      {"--mute", &Options::mute},
                      {"--redraw-hall", &Options::redrawHall},
                      {"--screensaver", &Options::screensaver}};

// Digits only: no sign, no spaces, no hexadecimal, nothing after the number.
bool parseWholeNumber(const std::string& text, uint64_t largest, uint64_t& value) {
    if (text.empty())
        return false;
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (number > (largest - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    value = number;
    return true;
}

// A path the user gives: any text but nothing.
bool takePath(const std::string& name, const std::string& value, const char* what,
              std::string& target, std::string& error) {
    if (value.empty()) {
        error = name + " needs a " + what;
        return false;
    }
    target = value;
    return true;
}

constexpr uint64_t largestAttractSeconds = 86400; // a day
constexpr int32_t defaultClipFps = 30;            // frames a second of a clip without --fps

// An option with a value: its name, and what reads the value into the options.
struct Valued {
    const char* name;
    bool (*take)(const std::string& value, Options& options, std::string& error);
};
const Valued valued[] = {
    {"--seed",
     [](const std::string& value, Options& options, std::string& error) {
         uint64_t seed = 0;
         if (!parseWholeNumber(value, std::numeric_limits<uint32_t>::max(), seed)) {
             error = "--seed wants a whole number from 0 to 4294967295, not '" + value + "'";
             return false;
         }
         options.seed = static_cast<uint32_t>(seed);
         options.seedGiven = true;
         return true;
     }},
    {"--data",
     [](const std::string& value, Options& options, std::string& error) {
         return takePath("--data", value, "folder", options.dataFolder, error);
     }},
    {"--record",
     [](const std::string& value, Options& options, std::string& error) {
         return takePath("--record", value, "file", options.recordFile, error);
     }},
    {"--replay",
     [](const std::string& value, Options& options, std::string& error) {
         return takePath("--replay", value, "file", options.replayFile, error);
     }},
    {"--frames",
     [](const std::string& value, Options& options, std::string& error) {
         return takePath("--frames", value, "folder", options.framesFolder, error);
     }},
    {"--video",
     [](const std::string& value, Options& options, std::string& error) {
         return takePath("--video", value, "file", options.videoFile, error);
     }},
    {"--fps",
     [](const std::string& value, Options& options, std::string& error) {
         uint64_t fps = 0;
         if (!parseWholeNumber(value, 1000, fps) || fps == 0) {
             error = "--fps wants a whole number from 1 to 1000, not '" + value + "'";
             return false;
         }
         options.fps = static_cast<int32_t>(fps);
         return true;
     }},
    {"--attract",
     [](const std::string& value, Options& options, std::string& error) {
         uint64_t seconds = 0;
         if (!parseWholeNumber(value, largestAttractSeconds, seconds)) {
             error = "--attract wants a whole number from 0 to 86400, not '" + value + "'";
             return false;
         }
         options.attractSeconds = static_cast<int32_t>(seconds);
         return true;
     }},
    {"--renderer",
     [](const std::string& value, Options& options, std::string& error) {
         if (value != "classic" && value != "batched") {
             error = "--renderer is 'classic' or 'batched', not '" + value + "'";
             return false;
         }
         options.renderer = value == "batched" ? Renderer::Batched : Renderer::Classic;
         return true;
     }},
};

// Options that make no sense together or alone.
bool checkTogether(const Options& options, std::string& error) {
    const bool replaying = !options.replayFile.empty();
    if (replaying && !options.recordFile.empty())
        error = "--record and --replay cannot go together";
    else if (replaying && options.seedGiven)
        error = "--replay takes the seed from the recording: leave out --seed";
    else if (replaying && options.fullscreen)
        error = "--replay gives the window the recorded size: leave out --fullscreen";
    else if (replaying && options.attractSeconds >= 0)
        error = "--attract and --replay cannot go together";
    else if (replaying && options.screensaver)
        error = "--screensaver and --replay cannot go together";
    else if (options.screensaver && options.attractSeconds >= 0)
        error = "--screensaver plays the show at once: leave out --attract";
    else if (!options.framesFolder.empty() && !replaying)
        error = "--frames needs --replay";
    else if (!options.videoFile.empty() && !replaying)
        error = "--video needs --replay";
    else if (!options.videoFile.empty() && !options.framesFolder.empty())
        error = "--frames and --video cannot go together";
    else if (options.fps != 0 && options.framesFolder.empty() && options.videoFile.empty())
        error = "--fps needs --frames or --video";
    return error.empty();
}

} // namespace

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (isGlutOptionWithValue(name)) {
            // GLUT reads the value itself, but ends the program its own way when there is none.
            if (++i >= argc) {
                error = name + " needs a value";
                return false;
            }
            continue;
        }
        if (isGlutFlag(name))
            continue;

        // --name=value is the same as --name value.
        std::string value;
        const size_t equals = name.find('=');
        const bool valueAttached = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (valueAttached) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }

        bool known = false;
        for (const Flag& flag : flags) {
            if (name != flag.name)
                continue;
            if (valueAttached) {
                error = name + " takes no value";
                return false;
            }
            options.*flag.field = true;
            known = true;
        }
        if (known)
            continue;

        const Valued* option = nullptr;
        for (const Valued& candidate : valued)
            if (name == candidate.name)
                option = &candidate;
        if (!option) {
            error = "unknown option '" + std::string(argv[i]) + "'";
            return false;
        }
        if (!valueAttached) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!option->take(value, options, error))
            return false;
    }
    if (!checkTogether(options, error))
        return false;
    if (!options.videoFile.empty() && options.fps == 0)
        options.fps = defaultClipFps;
    return true;
}

const char* usageLine() {
    return "Usage: throngwick [--seed N] [--fullscreen] [--mute] [--data DIR] [--record FILE] "
           "[--replay FILE [--frames DIR | --video FILE] [--fps N]] [--renderer batched|classic] "
           "[--redraw-hall] [--attract SECONDS] [--screensaver] [--help] [--version]";
}

const char* helpText() {
    return "Usage: throngwick [OPTION]...\n"
           "A hall of 500 people. Click one: the crowd steps back and the camera flies to them;\n"
           "then 1 makes them sing, 2 draw a gun, 3 catch fire, 4 sends everybody home.\n"
           "Song and fire spread through the crowd. Esc quits.\n"
           "\n"
           "Keys:\n"
           "  1 2 3 4         sing, draw a gun, catch fire; everybody home\n"
           "  arrow keys      move the light shaft, as the pointer does\n"
           "  Enter           enter the hall; click where the light shaft is\n"
           "  Space           enter the hall\n"
           "  F11             full screen, and back to the window\n"
           "  M               silence everything, and let it be heard again\n"
           "  P               pause the hall, and let it go on\n"
           "  F12             save the picture on screen as a PNG file in the pictures folder\n"
           "                  ($XDG_PICTURES_DIR, else ~/Pictures), under Throngwick/\n"
           "  Esc             quit\n"
           "\n"
           "Options:\n"
           "  --seed N        place the crowd from seed N (0 to 4294967295) instead of the\n"
           "                  calendar time, so that the same crowd stands there again\n"
           "  --fullscreen    fill the screen\n"
           "  --mute          open no audio device\n"
           "  --data DIR      read the pictures and sounds from DIR/image_data/ and DIR/audio/\n"
           "  --record FILE   write the visit into FILE: the seed, the clock, the music's level\n"
           "                  and every mouse and key event, frame by frame\n"
           "  --replay FILE   play the visit recorded in FILE again, frame for frame, then exit;\n"
           "                  the mouse and keys are not listened to meanwhile\n"
           "  --frames DIR    with --replay: write every frame as DIR/frame-000001.png, ...,\n"
           "                  as fast as they draw\n"
           "  --video FILE    with --replay: make the visit into FILE as a WebM clip with its\n"
           "                  sound (VP9 and Opus), as fast as the machine makes it\n"
           "  --fps N         with --frames or --video: N frames a second (1 to 1000) of the\n"
           "                  visit's own time, so that a film of them plays at true speed; a\n"
           "                  clip has 30 without it\n"
           "  --renderer NAME batched (the default) draws the crowd from one atlas in few\n"
           "                  draws, fast without a graphics card; classic draws it sprite by\n"
           "                  sprite, the reference picture, which batched matches but for a\n"
           "                  few texels at the edges of cut-outs\n"
           "  --redraw-hall   draw the hall's backdrop and floor anew every frame; by default\n"
           "                  they are restored from a copy while the view stays still, which\n"
           "                  gives the same pixels faster\n"
           "  --attract SECONDS\n"
           "                  after SECONDS (0 to 86400) without input in the hall, it plays\n"
           "                  by itself: it picks a person, gives a command, watches the\n"
           "                  spread, sends everybody home, and again; a click, a key or a\n"
           "                  move of the pointer hands it back at once. 0: from the start,\n"
           "                  without the title, and again after 30 seconds without input\n"
           "  --screensaver   full screen, the hall playing by itself from the start; the\n"
           "                  first input after a second ends the program (status 0)\n"
           "  --help          show this help and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "GLUT's X options work as usual: -display NAME, and -geometry +X+Y to place the\n"
           "window, which always opens at 1024x512.\n"
           "Without --data the pictures and sounds are read from ./image_data/ and ./audio/ in\n"
           "the working folder if it has them, else from the folder installed with the program.\n";
}
