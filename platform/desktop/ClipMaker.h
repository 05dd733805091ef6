// A replay made into a clip on the desktop: each drawn frame read from the back buffer, with the
// sound the software mixer makes for the frame's span of time, handed to the VideoWriter; the
// progress on standard error; an ending signal finishes the file before the program ends by it.
#pragma once

#include "platform/desktop/Signals.h"
#include "platform/desktop/SoftwareMixer.h"
#include "platform/desktop/VideoWriter.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class ClipMaker {
  public:
    ClipMaker() = default;
    ~ClipMaker();
    ClipMaker(const ClipMaker&) = delete;
    ClipMaker& operator=(const ClipMaker&) = delete;

    std::string name;        // the file as the user named it
    int32_t fps = 0;         // frames a second of the visit
    int64_t frameTotal = 0;  // frames the replay will draw
    int64_t framesDone = 0;  // handed to the writer
    SoftwareMixer mixer;     // the sound bank's back end from open on
    VideoWriter::Frame next; // filled for the writer, its buffers reused
    // Seconds of the drawing thread: between frames and until each is drawn, reading it back,
    // mixing its sound, and waiting for the encoder to take it.
    double drawing = 0.0;
    double reading = 0.0;
    double mixing = 0.0;
    double waiting = 0.0;

    // Makes the file and sends the sound bank's sounds to the mixer; before the window opens.
    bool open(const std::string& path, int32_t framesPerSecond, int64_t frames, std::string& error);
    // The drawn, not yet swapped frame of width by height pixels, and its span's sound.
    bool add(int32_t width, int32_t height, std::string& error);
    // After the last frame: the file's end, and one line saying what was made.
    bool finish(std::string& error);

  private:
    void* module = nullptr;                   // the writer's, loaded for the clip and kept
    const VideoWriterCalls* calls = nullptr;  // into the module
    VideoWriter* video = nullptr;             // made by the module
    std::unique_ptr<FinishingFile> finishing; // while the file is in the making
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point shown;     // the progress line's last update
    std::chrono::steady_clock::time_point lastAdded; // the end of the last frame's add
    bool onTerminal = false;
    bool loadWriter(std::string& error);
    void showProgress();
};

// The stereo frames at 44100 Hz before the start of frame n (0 for the first), counted from
// the clip's start, so that the frames' spans add up without drift.
int64_t soundFramesBefore(int64_t frame, int32_t framesPerSecond);
