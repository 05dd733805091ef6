// The sound bank's sounds mixed in software, without a device, as SDL's mixer mixes them on the
// desktop: each sample decoded whole to 44100 Hz 16-bit stereo, numbered channels that each play
// one from its start, the music under them from a MusicStream, every channel added with the sum
// held to 16 bits, and SDL's silence and pause. A clip's sound comes from it, so that it is the
// same with or without a sound card and is made as fast as the frames are.
#pragma once

#include "platform/desktop/MusicStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class SoftwareMixer {
  public:
    static constexpr int32_t rateHz = 44100; // stereo frames a second

    struct Channel {
        int32_t sample = -1; // the sample it plays; -1: none
        size_t frame = 0;    // the sample's next frame to be mixed
        bool loop = false;   // starts again at its end, without end
    };
    std::vector<std::vector<int16_t>> samples; // by index, interleaved stereo; empty: not loaded
    std::vector<Channel> channels;
    std::unique_ptr<MusicStream> music; // none until startMusic
    bool silent = false;                // nothing is added to the output; every sound still goes on
    bool paused = false;                // nothing goes on, and the output is silence
    uint32_t peaks = 0; // the music's peaks over the latest mix, as MusicStream::fill gives them

    void open(int32_t channelCount);
    bool loadSample(int32_t index, const char* path);
    // The sample from its start on the channel, cutting off what the channel played.
    bool play(int32_t channel, int32_t sample, bool loop);
    bool playing(int32_t channel) const;
    // Replaces the music with the file's; false, and no music, when the file cannot be played.
    bool startMusic(const char* path);
    // The next frameCount frames of the output, interleaved stereo.
    void mix(int16_t* frames, int32_t frameCount);
};

// While a mixer is set, the desktop's sound back end plays into it and opens no device. Set before
// the sound bank opens its output, for the rest of the run.
void mixInSoftware(SoftwareMixer* mixer);
SoftwareMixer* softwareMixer();
