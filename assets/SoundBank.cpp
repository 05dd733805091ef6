#include "assets/SoundBank.h"

#include "assets/SoundOutput.h"
#include "base/Catalogue.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

constexpr int playbacksPerSample = 4; // simultaneous playbacks of one sample
constexpr int channelCount = soundSampleCount * playbacksPerSample;
static_assert(std::size(catalogue::sampleSounds) == soundSampleCount);

bool initialised = false;
bool muted = false;
bool outputOpen = false;
// Sample i owns channels 4i to 4i+3. The mixer's own oldest-channel query compares
// milliseconds and picks wrongly among plays started together, hence a count of our own.
uint64_t channelStarts[channelCount] = {}; // value of playCount when each channel last started
uint64_t playCount = 0;
uint32_t lastMusicStream = 0;

// The sample's channel whose playback started longest ago. All its playbacks have the one
// length, so a finished one, if any, is always among the oldest.
int channelFor(int32_t index) {
    const int first = index * playbacksPerSample;
    int chosen = first;
    for (int channel = first + 1; channel < first + playbacksPerSample; ++channel) {
        if (channelStarts[channel] < channelStarts[chosen]) {
            chosen = channel;
        }
    }
    return chosen;
}

} // namespace

SoundBank& SoundBank::instance() {
    static SoundBank bank;
    return bank;
}

void SoundBank::mute() {
    muted = true;
}

void SoundBank::init() {
    if (initialised) {
        return;
    }
    initialised = true;
    std::string reason;
    if (muted) {
        return;
    }
    if (!soundOutput::open(channelCount, reason)) {
        std::fprintf(stderr, "throngwick: no sound device (%s); the hall is silent\n",
                     reason.c_str());
        return;
    }
    outputOpen = true;
    setSilent(silent);
    setPaused(paused);
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        const bool loaded =
            soundOutput::loadSample(i, catalogue::soundPath(catalogue::sampleSounds[i]).c_str());
        samples[i] = loaded ? static_cast<uint32_t>(i + 1) : 0;
    }
}

uint32_t SoundBank::playSample(int32_t index) {
    if (!outputOpen || index < 0 || index >= soundSampleCount || samples[index] == 0) {
        return 0;
    }
    const int channel = channelFor(index);
    channelStarts[channel] = ++playCount;
    if (!soundOutput::play(channel, index, index == fireLoopSample)) {
        return 0;
    }
    return static_cast<uint32_t>(channel + 1);
}

void SoundBank::playMusic(const char* path) {
    if (!outputOpen) {
        return;
    }
    musicStream = soundOutput::startMusic(path) ? ++lastMusicStream : 0;
}

float SoundBank::musicLevel() {
    if (levelHeld) {
        level = heldLevel;
        return level;
    }
    if (musicStream == 0) {
        level = 0.0f;
        return 0.0f;
    }
    level = levelFromWord(soundOutput::musicPeaks());
    return level;
}

void SoundBank::holdLevel(float heldValue) {
    levelHeld = true;
    heldLevel = heldValue;
}

float SoundBank::holdMeterLevel() {
    releaseLevel();
    const float meter = musicLevel();
    holdLevel(meter);
    return meter;
}

void SoundBank::setSilent(bool silence) {
    silent = silence;
    if (outputOpen) {
        soundOutput::setSilent(silence);
    }
}

void SoundBank::setPaused(bool pause) {
    paused = pause;
    if (outputOpen) {
        soundOutput::setPaused(pause);
    }
}

bool SoundBank::isSounding(int32_t index) const {
    if (!outputOpen || index < 0 || index >= soundSampleCount) {
        return false;
    }
    for (int channel = index * playbacksPerSample; channel < (index + 1) * playbacksPerSample;
         ++channel) {
        if (soundOutput::playing(channel)) {
            return true;
        }
    }
    return false;
}

float SoundBank::levelFromWord(uint32_t word) {
    const int32_t sum = static_cast<int32_t>(word & 0xFFFFu) + static_cast<int32_t>(word >> 16);
    return static_cast<float>(sum) * 0.5f * 3.0517578125e-05f;
}
