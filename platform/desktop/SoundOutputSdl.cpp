// The desktop's sound: SDL's mixer on the audio device, or, while a clip is made, our own
// SoftwareMixer, which opens no device and mixes the same way as the clip asks for its sound.
#include "assets/SoundOutput.h"

#include "platform/desktop/MusicStream.h"
#include "platform/desktop/SoftwareMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int outputRateHz = 44100;
constexpr int outputBlockFrames = 1024; // about 23 ms per mixed block

std::vector<Mix_Chunk*> chunks; // by sample index
// Never freed, not even at exit: the audio thread may read it until the process ends.
MusicStream* music = nullptr;
// Peaks of the last block the music wrote; the audio thread stores it, the GLUT thread reads it.
std::atomic<uint32_t> peaks{0};
// Read by the audio thread in the music's hook.
std::atomic<bool> musicSilent{false};
std::atomic<bool> musicPaused{false};

// The mixer's hook for the music: it writes the music alone, before the samples are mixed in,
// which is the only place its level can be told apart from theirs.
void mixMusic(void* stream, Uint8* bytes, int byteCount) {
    if (musicPaused.load(std::memory_order_relaxed)) {
        std::memset(bytes, 0, static_cast<size_t>(byteCount));
        return; // the stream waits where it is, and so do its peaks
    }
    const int32_t frameCount = byteCount / static_cast<int>(2 * sizeof(int16_t));
    peaks.store(
        static_cast<MusicStream*>(stream)->fill(reinterpret_cast<int16_t*>(bytes), frameCount),
        std::memory_order_relaxed);
    // Silenced after its peaks are taken: the singers' mouths go on moving.
    if (musicSilent.load(std::memory_order_relaxed))
        std::memset(bytes, 0, static_cast<size_t>(byteCount));
}

// The output opened with standard error set aside: while the audio system looks for a device,
// its libraries print their own diagnostics (ALSA's, without a sound card), which tell a user
// nothing the bank's one line does not. Nothing of ours prints meanwhile.
bool openQuietly() {
    std::fflush(stderr);
    const int savedError = dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedError >= 0 && nowhere >= 0)
        dup2(nowhere, STDERR_FILENO);
    // The program ends by its own signal handling; the audio system's would swallow Ctrl+C.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    // No format changes allowed: the music hook writes 16-bit stereo exactly as decoded.
    if (opened &&
        Mix_OpenAudioDevice(outputRateHz, AUDIO_S16SYS, 2, outputBlockFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened = false;
    }
    if (savedError >= 0 && nowhere >= 0)
        dup2(savedError, STDERR_FILENO);
    if (savedError >= 0)
        close(savedError);
    if (nowhere >= 0)
        close(nowhere);
    return opened;
}

} // namespace

bool soundOutput::open(int32_t channelCount, std::string& reason) {
    if (SoftwareMixer* const mixer = softwareMixer()) {
        mixer->open(channelCount);
        return true;
    }
    if (!openQuietly()) {
        reason = SDL_GetError();
        return false;
    }
    Mix_AllocateChannels(channelCount);
    return true;
}

bool soundOutput::loadSample(int32_t index, const char* path) {
    if (SoftwareMixer* const mixer = softwareMixer())
        return mixer->loadSample(index, path);
    if (chunks.size() <= static_cast<size_t>(index))
        chunks.resize(static_cast<size_t>(index) + 1, nullptr);
    chunks[static_cast<size_t>(index)] = Mix_LoadWAV(path);
    return chunks[static_cast<size_t>(index)] != nullptr;
}

bool soundOutput::play(int32_t channel, int32_t sample, bool loop) {
    if (SoftwareMixer* const mixer = softwareMixer())
        return mixer->play(channel, sample, loop);
    // On a busy channel this cuts the old playback and starts the sample from its beginning.
    if (Mix_PlayChannel(channel, chunks[static_cast<size_t>(sample)], loop ? -1 : 0) < 0)
        return false;
    if (musicPaused.load(std::memory_order_relaxed))
        Mix_Pause(channel); // it waits with the others
    return true;
}

bool soundOutput::playing(int32_t channel) {
    if (const SoftwareMixer* const mixer = softwareMixer())
        return mixer->playing(channel);
    return Mix_Playing(channel) != 0;
}

bool soundOutput::startMusic(const char* path) {
    if (SoftwareMixer* const mixer = softwareMixer())
        return mixer->startMusic(path);
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

void soundOutput::setSilent(bool silent) {
    if (SoftwareMixer* const mixer = softwareMixer()) {
        mixer->silent = silent;
        return;
    }
    musicSilent.store(silent, std::memory_order_relaxed);
    Mix_Volume(-1, silent ? 0 : MIX_MAX_VOLUME);
}

void soundOutput::setPaused(bool paused) {
    if (SoftwareMixer* const mixer = softwareMixer()) {
        mixer->paused = paused;
        return;
    }
    musicPaused.store(paused, std::memory_order_relaxed);
    if (paused)
        Mix_Pause(-1);
    else
        Mix_Resume(-1);
}

uint32_t soundOutput::musicPeaks() {
    if (const SoftwareMixer* const mixer = softwareMixer())
        return mixer->peaks;
    return peaks.load(std::memory_order_relaxed);
}
