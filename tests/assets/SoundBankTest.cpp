#include "assets/SoundBank.h"

#include "base/Catalogue.h"
#include "soundgen/Mp3Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
namespace fs = std::filesystem;

// A 440 Hz tone of its own amplitude on each side, then silentSeconds of silence.
void writeTone(const fs::path& path, float seconds, float left, float right, float silent = 0) {
    std::vector<float> l(size_t((seconds + silent) * 44100.0f)), r(l.size());
    for (size_t i = 0; i < size_t(seconds * 44100.0f); ++i) {
        const float wave = std::sin(6.2831853f * 440.0f * float(i) / 44100.0f);
        l[i] = left * wave;
        r[i] = right * wave;
    }
    ASSERT_TRUE(writeMp3(path.c_str(), l, r)) << path;
}

// Polls until done() holds, for three seconds at most.
template <typename Condition> bool waitUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

// The bank opens its output once per process, so each case needs its own, as ctest runs them.
// Each works in a folder of its own with ./audio/ in it, on SDL's dummy output.
class SoundBankTest : public ::testing::Test {
  protected:
    const fs::path root = fs::path(testing::TempDir()) / ("sound-" + std::to_string(getpid()));
    SoundBank& bank = SoundBank::instance();

    void SetUp() override {
        static int cases = 0;
        if (cases++ > 0)
            GTEST_SKIP() << "needs a process of its own: run it through ctest";
        fs::create_directories(root / "audio");
        fs::current_path(root);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path sample(int32_t index) const { return root / "audio" / catalogue::sampleSounds[index]; }
};
} // namespace

TEST(SoundBankLevel, MeansBothHalvesOverFullScale) {
    const std::pair<uint32_t, float> cases[] = {
        {0x80008000u, 1.0f},
        {0x00008000u, 0.5f},
        {0x80000000u, 0.5f},
        {0x00000000u, 0.0f},
        {0x20004000u, 0.375f},              // the halves are read apart
        {0x7FFF8000u, 65535.0f / 65536.0f}, // summed as integers before scaling
        {0x00000001u, 1.0f / 65536.0f}};
    for (const auto& [word, level] : cases)
        EXPECT_FLOAT_EQ(SoundBank::levelFromWord(word), level) << std::hex << word;
}

// Each sample on its own four channels, a fifth play taking the oldest; only the fire loop
// repeats. Broken and soundless files stay silent, and the mixer goes on.
TEST_F(SoundBankTest, EachSampleHasFourChannelsOnlyFireLoopsAndBrokenFilesStaySilent) {
    writeTone(sample(8), 2.0f, 0.5f, 0.5f);
    writeTone(sample(9), 2.0f, 0.5f, 0.5f);
    writeTone(sample(0), 0.1f, 0.8f, 0.8f);
    writeTone(sample(fireLoopSample), 0.1f, 0.8f, 0.8f);
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char(i * 7919 % 251);
    std::ofstream(sample(1)) << noise;
    std::ofstream(root / "audio/noise.mp3") << noise;
    std::ofstream(sample(2));
    fs::create_directory(sample(3)); // a folder where a file should be
    ASSERT_TRUE(writeMp3((root / "audio/nothing.mp3").c_str(), {}, {})); // frames, no sound
    bank.init();
    ASSERT_NE(bank.playSample(0), 0u);
    ASSERT_NE(bank.playSample(fireLoopSample), 0u);
    EXPECT_FALSE(bank.isSounding(8));
    std::vector<uint32_t> plays; // all within a millisecond, which a clock cannot order
    for (int i = 0; i < 7; ++i)
        plays.push_back(bank.playSample(8));
    EXPECT_TRUE(bank.isSounding(8) && !bank.isSounding(9));
    EXPECT_EQ(std::set<uint32_t>(plays.begin(), plays.begin() + 4).size(), 4u);
    EXPECT_EQ(std::vector<uint32_t>(plays.begin() + 4, plays.end()),
              (std::vector<uint32_t>{plays[0], plays[1], plays[2]}));
    EXPECT_EQ(std::count(plays.begin(), plays.end(), 0u), 0);
    const uint32_t other = bank.playSample(9);
    EXPECT_EQ(std::count(plays.begin(), plays.end(), other), 0);
    EXPECT_TRUE(bank.isSounding(9));
    EXPECT_TRUE(waitUntil([&] { return !bank.isSounding(0); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(bank.isSounding(fireLoopSample));

    for (int32_t i : {-1, 1, 2, 3, 6, 7, soundSampleCount}) // 6 and 7 missing
        EXPECT_EQ(bank.playSample(i), 0u) << i;
    EXPECT_EQ(bank.samples[1] + bank.samples[2] + bank.samples[3], 0u);
    for (const char* path : {"./audio/noise.mp3", "./audio/empty.mp3", "./audio/missing.mp3",
                             static_cast<const char*>(nullptr)}) {
        bank.playMusic("./audio/ooo_02.mp3");
        EXPECT_NE(bank.musicStream, 0u);
        bank.playMusic(path); // each failure still frees the stream before it
        EXPECT_EQ(bank.musicStream, 0u) << (path ? path : "null");
        EXPECT_EQ(bank.musicLevel(), 0.0f);
    }
    bank.playMusic("./audio/nothing.mp3");
    EXPECT_NE(bank.musicStream, 0u);
    ASSERT_NE(bank.playSample(9), 0u);
    EXPECT_TRUE(waitUntil([&] { return !bank.isSounding(9); })) << "the mixer stalled";
    EXPECT_EQ(bank.musicLevel(), 0.0f);
}

// The music's level follows the music alone, and the next music replaces it. A recorded or
// replayed frame holds one level for all its singers, music or not. The music loops without end,
// its level falling and rising with it; silenced, it plays on unheard and its level still follows
// it; paused, it holds.
TEST_F(SoundBankTest, TheMusicLevelFollowsTheMusicAloneAHeldOneWinsSilencedItPlaysOnPausedItHolds) {
    writeTone(sample(5), 2.0f, 0.8f, 0.8f);
    writeTone(root / "audio/quiet.mp3", 2.0f, 0.01f, 0.01f);
    writeTone(root / "audio/left.mp3", 2.0f, 0.8f, 0.0f);
    writeTone(root / "audio/silent.mp3", 2.0f, 0.0f, 0.0f);
    writeTone(root / "audio/burst.mp3", 0.25f, 0.8f, 0.8f, 0.75f);
    bank.holdLevel(0.25f);
    EXPECT_EQ(bank.musicLevel(), 0.25f); // no stream yet
    EXPECT_EQ(bank.holdMeterLevel(), 0.0f);
    bank.releaseLevel();
    bank.init();
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    bank.playMusic("./audio/quiet.mp3");
    const uint32_t quiet = bank.musicStream;
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.0f; }));
    ASSERT_NE(bank.playSample(5), 0u);
    float loudest = 0.0f;
    for (int i = 0; i < 150; ++i) { // 0.3 s while a loud sample sounds
        loudest = std::max(loudest, bank.musicLevel());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(bank.isSounding(5));
    EXPECT_LT(loudest, 0.05f);
    bank.playMusic("./audio/left.mp3"); // a full tone on one side is half the level
    EXPECT_NE(bank.musicStream, quiet);
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.32f; }));
    EXPECT_LT(bank.level, 0.48f);
    bank.playMusic("./audio/silent.mp3");
    EXPECT_LT(bank.musicLevel(), 0.03f); // nothing of the last one is left over
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LT(bank.musicLevel(), 0.03f);

    bank.playMusic("./audio/burst.mp3");
    ASSERT_TRUE(waitUntil([&] { return bank.holdMeterLevel() > 0.6f; }));
    const float held = bank.level;
    // The file loops every second: the meter falls silent within it, the held level does not.
    const auto second = std::chrono::steady_clock::now() + std::chrono::milliseconds(1100);
    bool keptHeld = true;
    while (std::chrono::steady_clock::now() < second)
        keptHeld = keptHeld && bank.musicLevel() == held;
    EXPECT_TRUE(keptHeld);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(waitUntil([&] { return bank.holdMeterLevel() < 0.03f; })) << pass;
        EXPECT_TRUE(waitUntil([&] { return bank.holdMeterLevel() > 0.6f; })) << pass;
    }

    bank.releaseLevel();
    bank.setSilent(true);
    bank.playMusic("./audio/burst.mp3");
    for (float level : {0.6f, 0.03f, 0.6f}) // the file, a second long, loops
        EXPECT_TRUE(waitUntil([&] { return (bank.musicLevel() > 0.3f) == (level > 0.3f); }));
    bank.setPaused(true);
    const float paused = bank.musicLevel();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(bank.musicLevel(), paused);
    bank.setPaused(false);
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() < 0.03f; }));
}

TEST_F(SoundBankTest, WithoutAnOutputEverythingIsSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    writeTone(sample(8), 0.1f, 0.5f, 0.5f);
    EXPECT_EQ(bank.playSample(0), 0u); // before init, too
    bank.init();
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        EXPECT_EQ(bank.samples[i] + bank.playSample(i), 0u) << i;
        EXPECT_FALSE(bank.isSounding(i)) << i;
    }
    bank.playMusic("./audio/ooo_01.mp3");
    EXPECT_EQ(bank.musicStream, 0u);
    bank.level = 0.75f;
    EXPECT_TRUE(bank.musicLevel() == 0.0f && bank.level == 0.0f);
}

TEST_F(SoundBankTest, MutedTheBankOpensNoOutputThoughOneIsThere) {
    writeTone(sample(8), 0.1f, 0.5f, 0.5f);
    bank.mute();
    bank.init();
    EXPECT_EQ(bank.samples[8] + bank.playSample(8), 0u);
}
