#include "visit/Visit.h"

#include "app/AppState.h"
#include "app/Camera.h"
#include "assets/SoundBank.h"
#include "crowd/Crowd.h"
#include "crowd/StillHall.h"
#include "interaction/InputController.h"
#include "visit/Platform.h"

#include <GL/glut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {
constexpr int32_t screensaverGraceMs = 1000; // the pointer settles after the screensaver starts

void writeFrame() {
    Visit& visit = Visit::instance();
    const AppState& app = AppState::instance();
    std::string error;
    if (!visit.frames.write(app.width, app.height, error)) {
        std::fprintf(stderr, "throngwick: %s\n", error.c_str());
        std::exit(1);
    }
}

// F12's picture: the frame just drawn, which is the one shown next.
void saveWantedPicture() {
    Visit& visit = Visit::instance();
    if (!visit.pictureWanted)
        return;
    visit.pictureWanted = false;
    platform::savePicture(AppState::instance().width, AppState::instance().height);
}
} // namespace

Visit& Visit::instance() {
    static Visit visit;
    return visit;
}

bool Visit::record(const std::string& path, std::string& error) {
    if (!writer.open(path, error))
        return false;
    mode = Mode::Recording;
    return true;
}

bool Visit::replay(const std::string& path, int32_t framesPerSecond,
                   const std::string& framesFolder, std::string& error) {
    if (!readRecording(path, played, error))
        return false;
    if (!framesFolder.empty() && !frames.open(framesFolder, error))
        return false;
    schedule = std::make_unique<ReplaySchedule>(played, framesPerSecond);
    mode = Mode::Replaying;
    return true;
}

bool Visit::makeClip(const std::string& path, std::string& error) {
    return frames.openClip(path, schedule->framesPerSecond(), schedule->total(), error);
}

void Visit::attract(float delaySeconds, uint32_t seed, bool endOnInput) {
    show.enable(delaySeconds, seed);
    screensaver = endOnInput;
}

void Visit::begin(uint32_t seed, int32_t width, int32_t height) {
    AppState& app = AppState::instance();
    if (mode != Mode::Replaying)
        app.beforeSwap = saveWantedPicture;
    if (mode == Mode::Recording) {
        writer.writeHeader(seed, width, height, app.previousTimeMs);
    } else if (mode == Mode::Replaying) {
        replayStartMs = frameClockMs();
        app.previousTimeMs = played.startMs;
        if (filming())
            app.beforeSwap = writeFrame;
    }
}

void Visit::open(int window, uint32_t seed, int32_t width, int32_t height, const Options& options) {
    if (options.mute)
        SoundBank::instance().mute();
    AppState& app = AppState::instance(); // samples the clock
    begin(seed, width, height);
    app.initialise(window, width, height, seed);
    Crowd& crowd = Crowd::instance();
    std::string reason;
    if (options.renderer == Renderer::Batched && !crowd.drawBatched(reason))
        std::fprintf(stderr,
                     "throngwick: the batched renderer cannot be used (%s): the crowd is "
                     "drawn sprite by sprite\n",
                     reason.c_str());
    if (!options.redrawHall)
        crowd.stillHall = std::make_unique<StillHall>();
}

void Visit::start() {
    graceEndMs = frameClockMs() + screensaverGraceMs;
    if (show.playing())
        runShow(); // so that no title is drawn
}

void Visit::input(const RecordedEvent& event) {
    if (mode == Mode::Replaying || !notice(event))
        return;
    play(event);
    if (event.kind == EventKind::Special && event.code == GLUT_KEY_F11) {
        platform::toggleFullScreen();
    } else if (event.kind == EventKind::Special && event.code == GLUT_KEY_F12) {
        pictureWanted = true;
        glutPostRedisplay(); // also while paused
    }
}

bool Visit::notice(const RecordedEvent& event) {
    bool person = false;
    switch (event.kind) {
    case EventKind::Mouse:
    case EventKind::Drag:
    case EventKind::Key:
    case EventKind::Special:
        person = true;
        break;
    case EventKind::Move: {
        // A screensaver's pointer not seen in the grace moves from where it rested unseen.
        const bool restUnseen = screensaver && !show.anchored;
        person = show.pointerMoved(event.x, event.y) || restUnseen;
        break;
    }
    case EventKind::Reshape:
    case EventKind::KeyUp:
    case EventKind::SpecialUp:
        break;
    }
    if (screensaver) {
        if (person && frameClockMs() >= graceEndMs)
            std::exit(0);
        return event.kind == EventKind::Reshape; // the show alone plays
    }
    if (person)
        show.noticeInput();
    return true;
}

void Visit::runShow() {
    ShowAction action;
    if (!show.next(AppState::instance().frameDeltaMs, action))
        return;
    if (action.kind == ShowAction::Kind::Key) {
        play({EventKind::Key, action.key, 0, action.x, action.y});
        return;
    }
    play({EventKind::Mouse, action.button, GLUT_DOWN, action.x, action.y});
    play({EventKind::Mouse, action.button, GLUT_UP, action.x, action.y});
}

void Visit::play(const RecordedEvent& event) {
    if (mode == Mode::Recording)
        writer.writeEvent(event);
    deliver(event);
}

void Visit::display() {
    if (mode == Mode::Replaying)
        return; // the replay draws its frames itself, once each
    displayedThisFrame = true;
    AppState::instance().display();
}

void Visit::idle() {
    if (mode == Mode::Replaying) {
        replayIdle();
        return;
    }
    if (mode == Mode::Live)
        AppState::instance().idle();
    else
        recordIdle();
    runShow();
    if (AppState::instance().paused)
        platform::restWhilePaused();
}

void Visit::deliver(const RecordedEvent& event) {
    InputController& input = InputController::instance();
    switch (event.kind) {
    case EventKind::Reshape:
        Camera::instance().reshape(event.x, event.y);
        break;
    case EventKind::Mouse:
        input.onMouse(event.code, event.state, event.x, event.y);
        break;
    case EventKind::Drag:
        input.onMotion(event.x, event.y);
        break;
    case EventKind::Move:
        input.onPassiveMotion(event.x, event.y);
        break;
    case EventKind::Key:
        input.onKeyboard(static_cast<unsigned char>(event.code), event.x, event.y);
        break;
    case EventKind::Special:
        input.onSpecialKey(event.code, event.x, event.y);
        break;
    case EventKind::KeyUp:
    case EventKind::SpecialUp:
        input.onOtherKey(event.code, event.x, event.y);
        break;
    }
}

void Visit::recordIdle() {
    const int64_t nowMs = frameClockMs();
    const float level = SoundBank::instance().holdMeterLevel();
    std::string error;
    if (!writer.writeFrame(nowMs, level, displayedThisFrame, error)) {
        // The visit goes on; what was written so far replays.
        std::fprintf(stderr, "throngwick: %s; recording stopped\n", error.c_str());
        mode = Mode::Live;
        SoundBank::instance().releaseLevel();
    }
    displayedThisFrame = false;
    AppState::instance().idleAt(nowMs);
}

void Visit::replayIdle() {
    if (!stepWaiting && !schedule->next(step))
        endReplay();
    stepWaiting = true;
    // Watched, the frames keep the recorded pace; filmed, they come as fast as they draw.
    if (!filming() && schedule->waitMs(step, frameClockMs() - replayStartMs) > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    stepWaiting = false;
    for (size_t i = step.firstEvent; i < step.endEvent; ++i) {
        const RecordedEvent& event = played.events[i];
        if (!actedIn(played.version, event))
            continue;
        deliver(event);
        // The real window follows, so that the frames read back have the recorded size.
        if (event.kind == EventKind::Reshape && event.x > 0 && event.y > 0 &&
            !platform::sizeWindow(event.x, event.y) && filming()) {
            std::fprintf(stderr,
                         "throngwick: the window does not take the recorded size %dx%d, "
                         "so its frames cannot be written\n",
                         event.x, event.y);
            std::exit(1);
        }
    }
    if (step.displayed)
        AppState::instance().display();
    SoundBank::instance().holdLevel(step.level);
    if (step.held)
        AppState::instance().frameDeltaMs = 0.0f; // the frame on screen drawn again, unmoved
    else
        AppState::instance().idleAt(step.clockMs);
}

void Visit::endReplay() {
    std::string error;
    if (!frames.finish(error)) {
        std::fprintf(stderr, "throngwick: %s\n", error.c_str());
        std::exit(1);
    }
    std::exit(0);
}
