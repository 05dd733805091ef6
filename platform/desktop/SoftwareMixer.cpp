#include "platform/desktop/SoftwareMixer.h"

#include <algorithm>
#include <limits>

namespace {

SoftwareMixer* inUse = nullptr;

// As SDL adds each channel to the output: the sum held to 16 bits after every channel.
void addHeld(int16_t* output, const int16_t* sound, size_t count) {
    constexpr int32_t lowest = std::numeric_limits<int16_t>::min();
    constexpr int32_t highest = std::numeric_limits<int16_t>::max();
    for (size_t i = 0; i < count; ++i)
        output[i] = static_cast<int16_t>(
            std::clamp(static_cast<int32_t>(output[i]) + sound[i], lowest, highest));
}

} // namespace

void mixInSoftware(SoftwareMixer* mixer) {
    inUse = mixer;
}

SoftwareMixer* softwareMixer() {
    return inUse;
}

void SoftwareMixer::open(int32_t channelCount) {
    channels.assign(static_cast<size_t>(channelCount), Channel{});
}

bool SoftwareMixer::loadSample(int32_t index, const char* path) {
    if (samples.size() <= static_cast<size_t>(index))
        samples.resize(static_cast<size_t>(index) + 1);
    std::vector<int16_t>& sound = samples[static_cast<size_t>(index)];
    // An empty sample would loop without ever filling the output.
    if (!MusicStream::decodeWhole(path, sound) || sound.empty()) {
        sound.clear();
        return false;
    }
    return true;
}

bool SoftwareMixer::play(int32_t channel, int32_t sample, bool loop) {
    if (channel < 0 || static_cast<size_t>(channel) >= channels.size() || sample < 0 ||
        static_cast<size_t>(sample) >= samples.size() ||
        samples[static_cast<size_t>(sample)].empty())
        return false;
    channels[static_cast<size_t>(channel)] = {sample, 0, loop};
    return true;
}

bool SoftwareMixer::playing(int32_t channel) const {
    return channel >= 0 && static_cast<size_t>(channel) < channels.size() &&
           channels[static_cast<size_t>(channel)].sample >= 0;
}

bool SoftwareMixer::startMusic(const char* path) {
    music = std::make_unique<MusicStream>();
    peaks = 0;
    if (!music->open(path)) {
        music.reset();
        return false;
    }
    return true;
}

void SoftwareMixer::mix(int16_t* frames, int32_t frameCount) {
    const size_t wanted = static_cast<size_t>(std::max(frameCount, 0));
    std::fill(frames, frames + 2 * wanted, int16_t{0});
    if (paused)
        return; // everything waits where it is, the music's peaks too
    // The music first, written as it is decoded; silenced after its peaks are taken.
    if (music) {
        peaks = music->fill(frames, static_cast<int32_t>(wanted));
        if (silent)
            std::fill(frames, frames + 2 * wanted, int16_t{0});
    }
    for (Channel& channel : channels) {
        size_t done = 0;
        while (channel.sample >= 0 && done < wanted) {
            const std::vector<int16_t>& sound = samples[static_cast<size_t>(channel.sample)];
            const size_t length = sound.size() / 2;
            const size_t count = std::min(wanted - done, length - channel.frame);
            if (!silent)
                addHeld(frames + 2 * done, sound.data() + 2 * channel.frame, 2 * count);
            channel.frame += count;
            done += count;
            if (channel.frame == length) {
                channel.frame = 0;
                if (!channel.loop)
                    channel.sample = -1;
            }
        }
    }
}
