// A stereo sound at 44100 Hz as the generators build it: mixing, panning, fades, level and the
// two ways of closing a loop. Writing it out is the MP3 writer's job.
#pragma once

#include <cstddef>
#include <vector>

constexpr float sampleRateHz = 44100.0f;
constexpr float pi = 3.14159265f;

// Whole samples in a duration.
size_t framesOf(float seconds);

// Equal-power gains of the two sides for a position from -1 (left) to 1 (right).
struct Pan {
    float left;
    float right;
};
Pan panOf(float position);

class Sound {
  public:
    std::vector<float> left; // -1 to 1 is full scale
    std::vector<float> right;

    explicit Sound(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    size_t frames() const { return left.size(); }
    float seconds() const { return static_cast<float>(frames()) / sampleRateHz; }
    // Adds a mono value at a frame, panned; frames past the end are dropped.
    void add(size_t frame, float value, Pan pan) {
        if (frame < frames()) {
            left[frame] += value * pan.left;
            right[frame] += value * pan.right;
        }
    }
    // Adds another sound starting at a frame, scaled; what does not fit is dropped.
    void mix(const Sound& other, size_t atFrame, float gain);
    float peak() const;
    void scale(float gain);
    void scaleToPeak(float targetPeak);
    // Both channels together.
    float rms() const;
    void scaleToRms(float targetRms);
    // Rounds off whatever rises above `threshold` so that nothing passes `ceiling`: a few loud
    // clicks then neither clip nor, through normalisation, make a whole sound quiet.
    void softLimit(float threshold, float ceiling);
    void fadeIn(float seconds);
    void fadeOut(float seconds);
    // For a loop whose reverberation rings past its end: adds everything after `loopFrames`
    // into the head, so that the tail sounds at the wrap, and cuts the sound there.
    void foldTail(size_t loopFrames);
    // For a loop of steady texture: fades the extra material after `loopFrames` into the head
    // with equal power, so that the last frame runs on into the first, and cuts there.
    void crossfadeTailIntoHead(size_t loopFrames);
};
