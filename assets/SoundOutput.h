// The audio back end under the sound bank: the output, the samples it holds, numbered channels
// that play them, and one looping music stream whose own loudness it measures. The desktop's is
// SDL's mixer (platform/desktop/SoundOutputSdl.cpp), the browser's Web Audio
// (platform/web/SoundOutputWeb.cpp); the bank decides what plays where.
#pragma once

#include <cstdint>
#include <string>

namespace soundOutput {

// Opens the output with channels 0 to channelCount - 1; false, with the reason, when there is
// none.
bool open(int32_t channelCount, std::string& reason);
// Reads sample index from the file; false when it cannot be read.
bool loadSample(int32_t index, const char* path);
// Plays a loaded sample from its start on the channel, cutting off what the channel played.
bool play(int32_t channel, int32_t sample, bool loop);
bool playing(int32_t channel);
// Replaces the music with the file's, looping without end; false, and no music, when the file
// cannot be played.
bool startMusic(const char* path);
// Nothing is heard, or all is again; the music plays on unheard, its peaks still measured.
void setSilent(bool silent);
// Every playback, those started meanwhile too, and the music held where they are, or going on.
void setPaused(bool paused);
// The music's own peaks over its latest block of output: left in the low 16 bits and right in
// the high, each 0 to 32768.
uint32_t musicPeaks();

} // namespace soundOutput
