// The frames a replay runs: the recorded ones as they were, or a steady number a second, each
// recorded event delivered before the first frame whose clock reaches its own frame's clock. The
// steady frames within a recorded stall longer than longestCatchUpMs hold the scene still until
// the frame after it, which makes up that much, as the live scene did.
#pragma once

#include "visit/Recording.h"

struct ReplayStep {
    int64_t clockMs = 0;   // the frame's clock, milliseconds
    float level = 0.0f;    // the music's level for the frame, 0 to 1
    bool displayed = true; // drawn before its idle call
    size_t firstEvent = 0; // the events delivered before it: [firstEvent, endEvent)
    size_t endEvent = 0;
    bool held = false; // inside a recorded stall: the scene stands still, as it stood live
};

class ReplaySchedule {
  public:
    // framesPerSecond 0: the recorded frames. The recording must outlive the schedule.
    ReplaySchedule(const Recording& played, int32_t framesPerSecond);
    // The next frame; false after the last, which delivers the last recorded frame's events.
    bool next(ReplayStep& step);
    // Watched at the recorded pace, elapsedMs after the replay began: the milliseconds until the
    // step is due, negative when late. Of a stall the replay hurries through at most
    // longestCatchUpMs, as the live scene makes up no more; the rest it lets pass.
    int64_t waitMs(const ReplayStep& step, int64_t elapsedMs);
    // How many frames next gives in all.
    int64_t total() const;
    int32_t framesPerSecond() const { return fps; }

  private:
    const Recording& recording;
    int32_t fps = 0;
    int64_t stepCount = 0; // frames given so far
    size_t nextFrame = 0;  // the first recorded frame whose events wait
    int64_t lostMs = 0;    // of stalls, the time not made up
};
