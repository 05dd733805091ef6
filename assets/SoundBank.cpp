#include "assets/SoundBank.h"

#include "base/Catalogue.h"
#include "platform/desktop/MusicStream.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <iterator>

namespace {

constexpr int outputRateHz = 44100;
constexpr int outputBlockFrames = 1024; // about 23 ms per mixed block
constexpr int playbacksPerSample = 4;   // simultaneous playbacks of one sample
constexpr int channelCount = soundSampleCount * playbacksPerSample;
static_assert(std::size(catalogue::sampleSounds) == soundSampleCount);

bool initialised = false;
bool muted = false;
// Several mixer calls crash once opening the output has failed, so every call checks this.
bool outputOpen = false;
Mix_Chunk* chunks[soundSampleCount] = {};
// Sample i owns channels 4i to 4i+3. The mixer's own oldest-channel query compares
// milliseconds and picks wrongly among plays started together, hence a count of our own.
uint64_t channelStarts[channelCount] = {}; // value of playCount when each channel last started
uint64_t playCount = 0;

// Never freed, not even at exit: the audio thread may read it until the process ends.
MusicStream* music = nullptr;
uint32_t lastMusicStream = 0;
// Peaks of the last block the music wrote, as in SoundBank::levelFromWord; the audio thread
// stores it, the GLUT thread reads it.
std::atomic<uint32_t> musicPeaks{0};

// The mixer's hook for the music: it writes the music alone, before the samples are mixed
// in, which is the only place its level can be told apart from theirs.
void mixMusic(void* stream, Uint8* bytes, int byteCount) {
    const int32_t frameCount = byteCount / static_cast<int>(2 * sizeof(int16_t));
    const uint32_t peaks =
        static_cast<MusicStream*>(stream)->fill(reinterpret_cast<int16_t*>(bytes), frameCount);
    musicPeaks.store(peaks, std::memory_order_relaxed);
}

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
    if (muted || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    // No format changes allowed: the music hook writes 16-bit stereo exactly as decoded.
    if (Mix_OpenAudioDevice(outputRateHz, AUDIO_S16SYS, 2, outputBlockFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    outputOpen = true;
    Mix_AllocateChannels(channelCount);
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        chunks[i] = Mix_LoadWAV(catalogue::soundPath(catalogue::sampleSounds[i]).c_str());
        samples[i] = chunks[i] != nullptr ? static_cast<uint32_t>(i + 1) : 0;
    }
}

uint32_t SoundBank::playSample(int32_t index) {
    if (!outputOpen || index < 0 || index >= soundSampleCount || chunks[index] == nullptr) {
        return 0;
    }
    const int channel = channelFor(index);
    channelStarts[channel] = ++playCount;
    const int loops = index == fireLoopSample ? -1 : 0;
    // On a busy channel this cuts the old playback and starts the sample from its beginning.
    if (Mix_PlayChannel(channel, chunks[index], loops) < 0) {
        return 0;
    }
    return static_cast<uint32_t>(channel + 1);
}

void SoundBank::playMusic(const char* path) {
    if (!outputOpen) {
        return;
    }
    // Unhooking takes the mixer's lock, so the audio thread is done with the old stream.
    Mix_HookMusic(nullptr, nullptr);
    delete music;
    music = nullptr;
    musicStream = 0;
    musicPeaks.store(0, std::memory_order_relaxed);

    // Only the file's first frame is read here; the audio thread decodes the rest as it plays.
    auto* const next = new MusicStream;
    if (!next->open(path)) {
        delete next;
        return;
    }
    music = next;
    musicStream = ++lastMusicStream;
    Mix_HookMusic(mixMusic, music);
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
    level = levelFromWord(musicPeaks.load(std::memory_order_relaxed));
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

bool SoundBank::isSounding(int32_t index) const {
    if (!outputOpen || index < 0 || index >= soundSampleCount) {
        return false;
    }
    for (int channel = index * playbacksPerSample; channel < (index + 1) * playbacksPerSample;
         ++channel) {
        if (Mix_Playing(channel) != 0) {
            return true;
        }
    }
    return false;
}

float SoundBank::levelFromWord(uint32_t word) {
    const int32_t sum = static_cast<int32_t>(word & 0xFFFFu) + static_cast<int32_t>(word >> 16);
    return static_cast<float>(sum) * 0.5f * 3.0517578125e-05f;
}
