// All sound: ten preloaded samples played by index, one looping music stream and its loudness.
// Nothing outside the bank sees the audio library; without an audio device it stays silent.
#pragma once

#include <cstdint>

// The samples by number, as every caller asks for them.
constexpr int32_t firstFireStartSample = 0; // four fire starts, 0 to 3
constexpr int32_t fireStartSamples = 4;
constexpr int32_t fireLoopSample = 4;       // the one sample that repeats without end
constexpr int32_t firstExplosionSample = 5; // three distant explosions, 5 to 7
constexpr int32_t explosionSamples = 3;
constexpr int32_t firstCrowdVoiceSample = 8; // two startled crowds, 8 and 9
constexpr int32_t crowdVoiceSamples = 2;
constexpr int soundSampleCount = 10;

class SoundBank {
  public:
    uint32_t musicStream = 0;                // the current music stream; 0 = none
    uint32_t samples[soundSampleCount] = {}; // handles by index; 0 = not loaded
    float level = 0.0f;                      // last musicLevel result, 0 to 1
    bool levelHeld = false;                  // musicLevel returns heldLevel, music or not
    float heldLevel = 0.0f;                  // 0 to 1
    bool silent = false; // nothing is heard; the music plays on unheard, its level still read
    bool paused = false; // every playback and the music wait where they are

    // Created on first use; GLUT thread only.
    static SoundBank& instance();

    // Before init: init then opens no audio output, and the bank stays silent as without one.
    void mute();
    // Opens the audio output and loads the ten samples; once, at start-up. Without an output it
    // says so in one line; the audio system's own messages meanwhile are not shown.
    void init();
    // Plays sample index (0 to 9) from its start on a fresh channel; returns that channel's handle.
    uint32_t playSample(int32_t index);
    // Replaces the looping music stream with the file's.
    void playMusic(const char* path);
    // The music's own output level, 0 to 1; 0 while no music plays. While a level is held,
    // that level instead.
    float musicLevel();
    // Every musicLevel call returns level until the next hold: a recorded or replayed frame
    // reads the music once, so that all its singers agree.
    void holdLevel(float heldValue);
    // Reads the meter once and holds what it read; returns it.
    float holdMeterLevel();
    // From now on every musicLevel call reads the meter again.
    void releaseLevel() { levelHeld = false; }
    // Silences every sound, or lets it be heard again, playing or started later.
    void setSilent(bool silence);
    // Holds every playback and the music where they are, or lets them go on from there.
    void setPaused(bool pause);
    // Whether any playback of sample index (0 to 9) is sounding now, as the mixer tells it.
    bool isSounding(int32_t index) const;

    // Left level in the low 16 bits, right in the high, each 0 to 32768: their mean over 32768.
    static float levelFromWord(uint32_t word);
};
