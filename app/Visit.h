// Where the outside enters the frame loop. Live: GLUT's input and clock and the music's meter.
// Recording: the same, each written down as it is used. Replay: a recording's instead, GLUT's own
// input ignored, and each drawn frame written as a PNG when asked.
#pragma once

#include "app/FrameWriter.h"
#include "app/Recording.h"
#include "app/ReplaySchedule.h"

#include <memory>
#include <string>

class Visit {
  public:
    enum class Mode { Live, Recording, Replaying };
    Mode mode = Mode::Live;
    Recording played;                         // the replayed visit
    std::unique_ptr<ReplaySchedule> schedule; // the replay's frames
    FrameWriter frames; // with a folder, the replay is filmed: PNG files, as fast as they draw

    // Created on first use; GLUT thread only.
    static Visit& instance();

    // Both before the window opens; false with a one-line error.
    bool record(const std::string& path, std::string& error);
    // framesPerSecond 0: the recorded frames; framesFolder empty: no PNG files.
    bool replay(const std::string& path, int32_t framesPerSecond, const std::string& framesFolder,
                std::string& error);
    // Once AppState exists, before it is initialised: writes the header, or sets the clock to the
    // recorded one.
    void begin(uint32_t seed, int32_t width, int32_t height);

    // GLUT's callbacks.
    void input(const RecordedEvent& event);
    void display();
    void idle();

    bool filming() const { return !frames.folder.empty(); }

  private:
    RecordingWriter writer;
    bool displayedThisFrame = false;
    ReplayStep step;
    bool stepWaiting = false;  // step is due but not yet run
    int64_t replayStartMs = 0; // GLUT's clock when the replay began
    void deliver(const RecordedEvent& event);
    void recordIdle();
    void replayIdle();
};
