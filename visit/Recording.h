// A visit as a plain text file: the seed, the window and the clock's start, then for each frame
// the input events delivered before it and the frame's clock and music level. No GL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class EventKind : int32_t { Reshape, Mouse, Drag, Move, Key, KeyUp, Special, SpecialUp };

struct RecordedEvent {
    EventKind kind = EventKind::Move;
    int32_t code = 0;  // mouse button, key or special key
    int32_t state = 0; // mouse only: GLUT_DOWN 0, GLUT_UP 1
    int32_t x = 0;     // pixels from the left; a reshape's width
    int32_t y = 0;     // pixels from the top; a reshape's height
};

struct RecordedFrame {
    int64_t clockMs = 0;   // GLUT's elapsed milliseconds at the frame's idle call
    float level = 0.0f;    // the music's level, read once in the frame, 0 to 1
    bool displayed = true; // false: the window was hidden and GLUT drew nothing
    size_t endEvent = 0;   // the frame's events end here; they begin where the previous frame's end
};

// The format written; versions 1 (before the keys M and P had an effect) and 2 (before Enter,
// Space and the arrow keys had one) are read too.
constexpr int32_t recordingVersion = 3;
constexpr int32_t largestWindowSide = 8192; // pixels

struct Recording {
    int32_t version = recordingVersion; // the format the visit was written in
    uint32_t seed = 0;
    int32_t width = 0;   // window pixels at start-up
    int32_t height = 0;  // window pixels at start-up
    int64_t startMs = 0; // GLUT's elapsed milliseconds when the frame clock started
    std::vector<RecordedEvent> events;
    std::vector<RecordedFrame> frames; // at least one, clocks never falling
};

// False with "NAME:LINE: problem" on bad input. A last line without its line end was cut short
// and is left out, and so are the events after the last frame. The file is read a block at a
// time and refused at its first line if it is not a recording, or past 16777216 lines.
bool readRecording(const std::string& path, Recording& recording, std::string& error);
bool parseRecording(const char* text, size_t size, const std::string& name, Recording& recording,
                    std::string& error);

// Whether the event acted in a visit of that format version: in version 1 the keys M and P did
// nothing, and before version 3 Enter, Space and the arrow keys did nothing; a visit replays as
// it was recorded.
bool actedIn(int32_t version, const RecordedEvent& event);

// Writes a visit as it happens, flushed at every frame, so a killed program leaves each finished
// frame readable.
class RecordingWriter {
  public:
    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Opens the file without emptying it, so that a program that fails to start loses nothing.
    bool open(const std::string& path, std::string& error);
    // Once the program runs: the file emptied, then the header.
    void writeHeader(uint32_t seed, int32_t width, int32_t height, int64_t startMs);
    void writeEvent(const RecordedEvent& event);
    // False when the file could not take it (the disk is full, say); error says why.
    bool writeFrame(int64_t clockMs, float level, bool displayed, std::string& error);

  private:
    FILE* file = nullptr;
    std::string path;     // absolute
    bool created = false; // open made the file: it goes again if the visit never starts
    bool started = false; // the header is written
};
