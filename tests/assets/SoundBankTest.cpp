#include "assets/SoundBank.h"

#include "base/Catalogue.h"
#include "soundgen/Mp3Writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A 440 Hz tone with its own amplitude on each side, then silentSeconds of silence.
void writeTone(const fs::path& path, float seconds, float left, float right,
               float silentSeconds = 0.0f) {
    const auto toneFrames = static_cast<size_t>(seconds * 44100.0f);
    std::vector<float> l(toneFrames + static_cast<size_t>(silentSeconds * 44100.0f));
    std::vector<float> r(l.size());
    for (size_t i = 0; i < toneFrames; ++i) {
        const float wave = std::sin(6.2831853f * 440.0f * static_cast<float>(i) / 44100.0f);
        l[i] = left * wave;
        r[i] = right * wave;
    }
    ASSERT_TRUE(writeMp3(path.c_str(), l, r)) << path;
}

// Polls until done() holds, for three seconds at most.
template <typename Condition> bool waitUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The bank opens the output once per process, so every case needs its own, as ctest runs them.
// Each works in a fresh folder with ./audio/ in it, on SDL's dummy output.
class SoundBankTest : public ::testing::Test {
  protected:
    fs::path root;
    SoundBank& bank = SoundBank::instance();

    void SetUp() override {
        static bool claimed = false;
        if (claimed)
            GTEST_SKIP() << "needs a process of its own: run it through ctest";
        claimed = true;
        std::string pattern = (fs::temp_directory_path() / "soundbank-XXXXXX").string();
        root = mkdtemp(pattern.data());
        fs::create_directories(root / "audio");
        previous = fs::current_path();
        fs::current_path(root);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        if (root.empty())
            return;
        fs::current_path(previous);
        fs::remove_all(root);
    }
    fs::path sample(int32_t index) const { return root / "audio" / catalogue::sampleSounds[index]; }

  private:
    fs::path previous;
};

} // namespace

TEST(SoundBankLevel, MeansBothHalvesOverFullScale) {
    const struct {
        uint32_t word;
        float level;
    } cases[] = {
        {0x80008000u, 1.0f},
        {0x00008000u, 0.5f},
        {0x80000000u, 0.5f},
        {0x00000000u, 0.0f},
        {0x20004000u, 0.375f},              // the halves are read apart
        {0x7FFF8000u, 65535.0f / 65536.0f}, // summed as integers before scaling
        {0x00000001u, 1.0f / 65536.0f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(SoundBank::levelFromWord(c.word), c.level) << std::hex << c.word;
}

TEST_F(SoundBankTest, EachSampleSoundsOnItsOwnFourChannelsAndTheFifthPlayTakesTheOldest) {
    writeTone(sample(8), 2.0f, 0.5f, 0.5f);
    writeTone(sample(9), 2.0f, 0.5f, 0.5f);
    bank.init();
    EXPECT_FALSE(bank.isSounding(8));
    uint32_t handles[6] = {};
    for (uint32_t& handle : handles) // all within one millisecond, which a clock cannot order
        handle = bank.playSample(8);
    EXPECT_TRUE(bank.isSounding(8));
    EXPECT_FALSE(bank.isSounding(9));
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(handles[i], 0u);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(handles[i], handles[j]) << i << " and " << j;
    }
    EXPECT_EQ(handles[4], handles[0]);
    EXPECT_EQ(handles[5], handles[1]);
    EXPECT_EQ(bank.playSample(8), handles[2]); // one taken over is the newest again
    for (int i = 0; i < 5; ++i) {
        const uint32_t other = bank.playSample(9);
        EXPECT_NE(other, 0u);
        for (int j = 0; j < 4; ++j)
            EXPECT_NE(other, handles[j]);
    }
    EXPECT_TRUE(bank.isSounding(9));
}

TEST_F(SoundBankTest, OnlyTheFireLoopRepeats) {
    writeTone(sample(0), 0.1f, 0.8f, 0.8f);
    writeTone(sample(fireLoopSample), 0.1f, 0.8f, 0.8f);
    bank.init();
    ASSERT_NE(bank.playSample(0), 0u);
    ASSERT_NE(bank.playSample(fireLoopSample), 0u);
    EXPECT_TRUE(waitUntil([&] { return !bank.isSounding(0); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(bank.isSounding(fireLoopSample));
}

TEST_F(SoundBankTest, MusicLevelFollowsTheMusicAloneAndTheNextMusicReplacesIt) {
    writeTone(sample(5), 2.0f, 0.8f, 0.8f);
    writeTone(root / "audio/quiet.mp3", 2.0f, 0.01f, 0.01f);
    writeTone(root / "audio/left.mp3", 2.0f, 0.8f, 0.0f);
    writeTone(root / "audio/silent.mp3", 2.0f, 0.0f, 0.0f);
    bank.init();
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    bank.playMusic("./audio/quiet.mp3");
    const uint32_t quiet = bank.musicStream;
    ASSERT_NE(quiet, 0u);
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
}

TEST_F(SoundBankTest, MusicLoopsWithoutEndAndItsLevelFallsWithIt) {
    writeTone(root / "audio/burst.mp3", 0.25f, 0.8f, 0.8f, 0.75f);
    bank.init();
    bank.playMusic("./audio/burst.mp3");
    for (int pass = 0; pass < 2; ++pass) { // the file is one second long
        EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.6f; })) << pass;
        EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() < 0.03f; })) << pass;
    }
}

TEST_F(SoundBankTest, BrokenAndSoundlessFilesStaySilentAndTheMixerGoesOn) {
    writeTone(sample(0), 0.2f, 0.5f, 0.5f);
    writeTone(sample(9), 0.2f, 0.5f, 0.5f);
    std::vector<char> noise(4096);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 7919 % 251);
    std::ofstream(sample(1), std::ios::binary).write(noise.data(), 4096);
    std::ofstream(root / "audio/noise.mp3", std::ios::binary).write(noise.data(), 4096);
    std::ofstream(sample(2));
    std::ofstream(root / "audio/empty.mp3");
    fs::create_directory(sample(3)); // a folder where a file should be
    ASSERT_TRUE(writeMp3((root / "audio/nothing.mp3").c_str(), {}, {})); // frames, no sound
    bank.init();
    for (int32_t i = 1; i < 9; ++i) {
        EXPECT_EQ(bank.samples[i], 0u) << i;
        EXPECT_EQ(bank.playSample(i), 0u) << i;
    }
    EXPECT_EQ(bank.playSample(-1), 0u);
    EXPECT_EQ(bank.playSample(soundSampleCount), 0u);
    EXPECT_FALSE(bank.isSounding(soundSampleCount));
    for (const char* path : {"./audio/noise.mp3", "./audio/empty.mp3", "./audio/missing.mp3",
                             "./audio/firestart04.mp3", static_cast<const char*>(nullptr)}) {
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

TEST_F(SoundBankTest, WithoutAnOutputEverythingIsSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    for (int32_t i = 0; i < soundSampleCount; ++i)
        writeTone(sample(i), 0.1f, 0.5f, 0.5f);
    writeTone(root / "audio/music.mp3", 0.5f, 0.8f, 0.8f);
    EXPECT_EQ(bank.playSample(0), 0u); // before init, too
    bank.init();
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        EXPECT_EQ(bank.samples[i], 0u) << i;
        EXPECT_EQ(bank.playSample(i), 0u) << i;
        EXPECT_FALSE(bank.isSounding(i)) << i;
    }
    bank.playMusic("./audio/music.mp3");
    EXPECT_EQ(bank.musicStream, 0u);
    bank.level = 0.75f;
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    EXPECT_EQ(bank.level, 0.0f);
}
