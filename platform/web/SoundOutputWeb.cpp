// The browser's sound, through the page's Web Audio (platform/web/page/sound.js): the page
// decodes the sounds before the program starts and opens the output at the first click, as
// browsers allow.
#include "assets/SoundOutput.h"

#include <emscripten/emscripten.h>

namespace {
EM_JS(int, openOutput, (int32_t channelCount), { return Module.sound.open(channelCount); });
EM_JS(int, loadDecoded, (int32_t index, const char* path),
      { return Module.sound.loadSample(index, UTF8ToString(path)); });
EM_JS(int, playOn, (int32_t channel, int32_t sample, int loop),
      { return Module.sound.play(channel, sample, loop != 0); });
EM_JS(int, isPlaying, (int32_t channel), { return Module.sound.playing(channel); });
EM_JS(int, startLooping, (const char* path),
      { return Module.sound.startMusic(UTF8ToString(path)); });
EM_JS(uint32_t, peaksOfMusic, (), { return Module.sound.musicPeaks(); });
EM_JS(void, silence, (int silent), { Module.sound.silence(silent != 0); });
EM_JS(void, hold, (int paused), { Module.sound.pause(paused != 0); });
} // namespace

bool soundOutput::open(int32_t channelCount, std::string& reason) {
    reason = "the page opened none";
    return openOutput(channelCount) != 0;
}

void soundOutput::setSilent(bool silent) {
    silence(silent);
}

void soundOutput::setPaused(bool paused) {
    hold(paused);
}

bool soundOutput::loadSample(int32_t index, const char* path) {
    return loadDecoded(index, path) != 0;
}

bool soundOutput::play(int32_t channel, int32_t sample, bool loop) {
    return playOn(channel, sample, loop) != 0;
}

bool soundOutput::playing(int32_t channel) {
    return isPlaying(channel) != 0;
}

bool soundOutput::startMusic(const char* path) {
    return startLooping(path) != 0;
}

uint32_t soundOutput::musicPeaks() {
    return peaksOfMusic();
}
