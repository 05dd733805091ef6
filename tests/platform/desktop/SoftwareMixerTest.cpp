#include "platform/desktop/SoftwareMixer.h"

#include "soundgen/Mp3Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
namespace fs = std::filesystem;
using Frames = std::vector<int16_t>;

// A 440 Hz tone of the amplitude (-1 to 1) as an MP3 file, and its frames as the mixer reads them.
Frames tone(const fs::path& path, float seconds, float amplitude) {
    std::vector<float> wave(static_cast<size_t>(seconds * 44100.0f));
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = amplitude * std::sin(6.2831853f * 440.0f * static_cast<float>(i) / 44100.0f);
    EXPECT_TRUE(writeMp3(path.c_str(), wave, wave));
    Frames frames;
    EXPECT_TRUE(MusicStream::decodeWhole(path.c_str(), frames));
    return frames;
}

Frames mixed(SoftwareMixer& mixer, size_t count) {
    Frames output(2 * count, 1);
    mixer.mix(output.data(), static_cast<int32_t>(count));
    return output;
}

// Frames [from, from + count) of a sound; past its end silence, or, looping, its start again.
Frames span(const Frames& sound, size_t from, size_t count, bool loop = false) {
    Frames part(2 * count, 0);
    for (size_t i = 0; i < count && (loop || from + i < sound.size() / 2); ++i) {
        const size_t at = (from + i) % (sound.size() / 2);
        part[2 * i] = sound[2 * at];
        part[2 * i + 1] = sound[2 * at + 1];
    }
    return part;
}

// Adds a channel as SDL does: the sum held to 16 bits after each channel.
Frames plus(Frames sum, const Frames& channel) {
    for (size_t i = 0; i < sum.size(); ++i)
        sum[i] = static_cast<int16_t>(std::clamp(sum[i] + channel[i], -32768, 32767));
    return sum;
}

class SoftwareMixerTest : public ::testing::Test {
  protected:
    const fs::path root =
        fs::path(testing::TempDir()) / ("SoftwareMixerTest-" + std::to_string(getpid()));
    Frames loud;    // 0.5 s at 0.9 of full scale
    Frames against; // 0.2 s of the same tone turned over
    SoftwareMixer mixer;

    void SetUp() override {
        fs::create_directories(root);
        loud = tone(root / "loud.mp3", 0.5f, 0.9f);
        against = tone(root / "against.mp3", 0.2f, -0.9f);
        mixer.open(4);
        ASSERT_TRUE(mixer.loadSample(0, (root / "loud.mp3").c_str()));
        ASSERT_TRUE(mixer.loadSample(1, (root / "against.mp3").c_str()));
    }
    void TearDown() override { fs::remove_all(root); }
};
} // namespace

TEST_F(SoftwareMixerTest, ChannelsPlayFromTheStartCutOffEndOrLoopAndAddUpHeldTo16Bits) {
    EXPECT_FALSE(mixer.loadSample(2, (root / "missing.mp3").c_str()));
    EXPECT_FALSE(mixer.play(0, 2, false)); // not loaded
    EXPECT_FALSE(mixer.play(4, 0, false)); // no such channel
    EXPECT_EQ(mixed(mixer, 50), Frames(100, 0));

    // Two loud ones overflow and the third pulls back: held after each, not only at the end.
    ASSERT_TRUE(mixer.play(0, 0, false) && mixer.play(1, 0, false) && mixer.play(2, 1, false));
    EXPECT_EQ(mixed(mixer, 1000),
              plus(plus(span(loud, 0, 1000), span(loud, 0, 1000)), span(against, 0, 1000)));
    // A play on a busy channel starts the new sound from its beginning; the others go on.
    mixer.play(1, 1, false);
    mixer.play(3, 1, true);
    EXPECT_EQ(mixed(mixer, 500), plus(plus(plus(span(loud, 1000, 500), span(against, 0, 500)),
                                           span(against, 1000, 500)),
                                      span(against, 0, 500)));
    // Across the turned-over sound's end: its channels fall silent and free, the loop goes on.
    const size_t end = against.size() / 2;
    EXPECT_EQ(mixed(mixer, end), plus(plus(plus(span(loud, 1500, end), span(against, 500, end)),
                                           span(against, 1500, end)),
                                      span(against, 500, end, true)));
    EXPECT_TRUE(mixer.playing(0) && mixer.playing(3) && !mixer.playing(1) && !mixer.playing(2) &&
                !mixer.playing(-1) && !mixer.playing(4));
}

TEST_F(SoftwareMixerTest, TheMusicGoesUnderSilenceLetsAllGoOnUnheardAndPauseHoldsAll) {
    EXPECT_FALSE(mixer.startMusic((root / "missing.mp3").c_str()));
    ASSERT_TRUE(mixer.startMusic((root / "loud.mp3").c_str()));
    mixer.play(0, 1, true);
    EXPECT_EQ(mixed(mixer, 300), plus(span(loud, 0, 300), span(against, 0, 300)));
    uint32_t peaks[2] = {};
    for (size_t i = 0; i < 600; ++i)
        peaks[i % 2] = std::max(peaks[i % 2], static_cast<uint32_t>(std::abs(loud[i])));
    EXPECT_EQ(mixer.peaks, peaks[0] | peaks[1] << 16);

    mixer.silent = true;
    mixer.peaks = 0;
    EXPECT_EQ(mixed(mixer, 300), Frames(600, 0));
    EXPECT_NE(mixer.peaks, 0u); // the singers' mouths still follow the music
    mixer.silent = false;
    mixer.paused = true;
    EXPECT_EQ(mixed(mixer, 300), Frames(600, 0));
    mixer.paused = false;
    // Silence went on, pause did not; the music loops at its end.
    const size_t length = loud.size() / 2;
    EXPECT_EQ(mixed(mixer, length),
              plus(span(loud, 600, length, true), span(against, 600, length, true)));
}
