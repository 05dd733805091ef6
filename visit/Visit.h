// Where the outside enters the frame loop. Live: GLUT's input and clock and the music's meter,
// and the show the hall plays by itself, delivered as input. Recording: the same, each written
// down as it is used. Replay: a recording's instead, GLUT's own input ignored, and each drawn
// frame written as a PNG when asked. Live keys that reach beyond the scene act here: F11 (full
// screen) and F12 (a picture); a replay does neither, its frames are its pictures.
#pragma once

#include "visit/AttractMode.h"
#include "visit/FrameWriter.h"
#include "visit/Options.h"
#include "visit/Recording.h"
#include "visit/ReplaySchedule.h"

#include <memory>
#include <string>

class Visit {
  public:
    enum class Mode { Live, Recording, Replaying };
    Mode mode = Mode::Live;
    Recording played;                         // the replayed visit
    std::unique_ptr<ReplaySchedule> schedule; // the replay's frames
    FrameWriter frames; // with a folder or a clip, the replay is filmed, as fast as it draws
    AttractMode show;
    bool screensaver = false;   // the show from the start, and the first input ends the program
    bool pictureWanted = false; // F12: the next drawn frame is saved

    // Created on first use; GLUT thread only.
    static Visit& instance();

    // Both before the window opens; false with a one-line error.
    bool record(const std::string& path, std::string& error);
    // framesPerSecond 0: the recorded frames; framesFolder empty: no PNG files.
    bool replay(const std::string& path, int32_t framesPerSecond, const std::string& framesFolder,
                std::string& error);
    // After replay at framesPerSecond: the replay made into a clip with its sound, in the file.
    bool makeClip(const std::string& path, std::string& error);
    // Before the window opens, live or recording: the show after delaySeconds without input
    // (0: at once), its choices from the crowd's seed; as a screensaver, the first input after a
    // short grace ends the program.
    void attract(float delaySeconds, uint32_t seed, bool endOnInput);
    // Once AppState exists, before it is initialised: writes the header, or sets the clock to the
    // recorded one.
    void begin(uint32_t seed, int32_t width, int32_t height);
    // Once the window is open: the sound muted if asked, begin (above), the scene initialised,
    // the crowd drawn batched unless its atlas cannot be made (said once on standard error), and
    // the hall kept still unless asked to be redrawn.
    void open(int window, uint32_t seed, int32_t width, int32_t height, const Options& options);
    // Just before the frame loop: a show from the start enters the hall before the first frame.
    void start();

    // GLUT's callbacks.
    void input(const RecordedEvent& event);
    void display();
    void idle();

    bool filming() const { return !frames.folder.empty() || !frames.clip.empty(); }

  private:
    RecordingWriter writer;
    bool displayedThisFrame = false;
    ReplayStep step;
    bool stepWaiting = false;  // step is due but not yet run
    int64_t replayStartMs = 0; // GLUT's clock when the replay began
    int64_t graceEndMs = 0;    // GLUT's clock: a screensaver takes input from then on
    void deliver(const RecordedEvent& event);
    // A person's input: hands the hall back from the show, or ends a screensaver; false when it
    // goes no further.
    bool notice(const RecordedEvent& event);
    // The show's next step, as a person's input.
    void runShow();
    void play(const RecordedEvent& event);
    void recordIdle();
    void replayIdle();
    // The replay's end: a clip's file finished, then the program's.
    [[noreturn]] void endReplay();
};
