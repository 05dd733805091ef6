#include "assets/SoundOutput.h"

#include "platform/desktop/MusicStream.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <vector>

namespace {

constexpr int outputRateHz = 44100;
constexpr int outputBlockFrames = 1024; // about 23 ms per mixed block

std::vector<Mix_Chunk*> chunks; // by sample index
// Never freed, not even at exit: the audio thread may read it until the process ends.
MusicStream* music = nullptr;
// Peaks of the last block the music wrote; the audio thread stores it, the GLUT thread reads it.
std::atomic<uint32_t> peaks{0};

// The mixer's hook for the music: it writes the music alone, before the samples are mixed in,
// which is the only place its level can be told apart from theirs.
void mixMusic(void* stream, Uint8* bytes, int byteCount) {
    const int32_t frameCount = byteCount / static_cast<int>(2 * sizeof(int16_t));
    peaks.store(
        static_cast<MusicStream*>(stream)->fill(reinterpret_cast<int16_t*>(bytes), frameCount),
        std::memory_order_relaxed);
}

} // namespace

bool soundOutput::open(int32_t channelCount) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    // No format changes allowed: the music hook writes 16-bit stereo exactly as decoded.
    if (Mix_OpenAudioDevice(outputRateHz, AUDIO_S16SYS, 2, outputBlockFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(channelCount);
    return true;
}

bool soundOutput::loadSample(int32_t index, const char* path) {
    if (chunks.size() <= static_cast<size_t>(index))
        chunks.resize(static_cast<size_t>(index) + 1, nullptr);
    chunks[static_cast<size_t>(index)] = Mix_LoadWAV(path);
    return chunks[static_cast<size_t>(index)] != nullptr;
}

bool soundOutput::play(int32_t channel, int32_t sample, bool loop) {
    // On a busy channel this cuts the old playback and starts the sample from its beginning.
    return Mix_PlayChannel(channel, chunks[static_cast<size_t>(sample)], loop ? -1 : 0) >= 0;
}

bool soundOutput::playing(int32_t channel) {
    return Mix_Playing(channel) != 0;
}

bool soundOutput::startMusic(const char* path) {
    // Unhooking takes the mixer's lock, so the audio thread is done with the old stream.
    Mix_HookMusic(nullptr, nullptr);
    delete music;
    music = nullptr;
    peaks.store(0, std::memory_order_relaxed);
    // Only the file's first frame is read here; the audio thread decodes the rest as it plays.
    auto* const next = new MusicStream;
    if (!next->open(path)) {
        delete next;
        return false;
    }
    music = next;
    Mix_HookMusic(mixMusic, music);
    return true;
}

uint32_t soundOutput::musicPeaks() {
    return peaks.load(std::memory_order_relaxed);
}
