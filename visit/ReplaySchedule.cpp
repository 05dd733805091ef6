#include "visit/ReplaySchedule.h"

#include "app/AppState.h"

#include <algorithm>

ReplaySchedule::ReplaySchedule(const Recording& played, int32_t framesPerSecond)
    : recording(played), fps(framesPerSecond) {}

bool ReplaySchedule::next(ReplayStep& step) {
    const std::vector<RecordedFrame>& frames = recording.frames;
    if (nextFrame >= frames.size())
        return false;
    step.firstEvent = nextFrame == 0 ? 0 : frames[nextFrame - 1].endEvent;
    if (fps == 0) {
        const RecordedFrame& frame = frames[nextFrame++];
        step.clockMs = frame.clockMs;
        step.level = frame.level;
        step.displayed = frame.displayed;
        step.endEvent = frame.endEvent;
        return true;
    }
    // Whole milliseconds, as GLUT's clock gives them, counted from the start so none drift.
    ++stepCount;
    step.clockMs = recording.startMs + stepCount * 1000 / fps;
    const size_t waiting = nextFrame;
    while (nextFrame < frames.size() && frames[nextFrame].clockMs <= step.clockMs)
        ++nextFrame;
    const int64_t lastMs = nextFrame == 0 ? recording.startMs : frames[nextFrame - 1].clockMs;
    step.held = nextFrame == waiting && nextFrame < frames.size() &&
                frames[nextFrame].clockMs - lastMs > longestCatchUpMs;
    step.endEvent = nextFrame == 0 ? 0 : frames[nextFrame - 1].endEvent;
    step.level = nextFrame == 0 ? 0.0f : frames[nextFrame - 1].level;
    step.displayed = true;
    return true;
}

int64_t ReplaySchedule::waitMs(const ReplayStep& step, int64_t elapsedMs) {
    const int64_t aheadMs = step.clockMs - recording.startMs + lostMs - elapsedMs;
    if (aheadMs >= -longestCatchUpMs)
        return aheadMs;
    lostMs += -longestCatchUpMs - aheadMs;
    return -longestCatchUpMs;
}

int64_t ReplaySchedule::total() const {
    const std::vector<RecordedFrame>& frames = recording.frames;
    if (fps == 0)
        return static_cast<int64_t>(frames.size());
    // The first step whose clock, start + k * 1000 / fps in whole ms, reaches the last frame's.
    const int64_t lengthMs = frames.empty() ? 0 : frames.back().clockMs - recording.startMs;
    return std::max<int64_t>(1, (lengthMs * fps + 999) / 1000);
}
