#include "assets/SoundBank.h"
#include "base/Catalogue.h"

#include "soundgen/Mp3Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int32_t rateHz = 44100;
constexpr int32_t loudPeak = 16000; // a 0.8 tone comes out near 26000
constexpr int32_t quietPeak = 1000; // encoded silence, and a 0.01 tone, stay well below
constexpr auto patience = std::chrono::seconds(3); // longest wait for the audio thread

// A 440 Hz tone with its own amplitude on each side, then `silentSeconds` of silence.
void writeTone(const fs::path& path, float seconds, float leftAmplitude, float rightAmplitude,
               float silentSeconds = 0.0f) {
    const auto toneFrames = static_cast<size_t>(seconds * static_cast<float>(rateHz));
    const auto frames =
        toneFrames + static_cast<size_t>(silentSeconds * static_cast<float>(rateHz));
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    for (size_t i = 0; i < toneFrames; ++i) {
        const float wave = std::sin(6.2831853f * 440.0f * static_cast<float>(i) / rateHz);
        left[i] = leftAmplitude * wave;
        right[i] = rightAmplitude * wave;
    }
    ASSERT_TRUE(writeMp3(path.c_str(), left, right)) << path;
}

void writeBytes(const fs::path& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Polls until `done` holds; false when it never did.
template <typename Condition> bool waitUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The bank is a process-wide singleton that opens the output once, so each case needs a
// process of its own, as ctest gives it; run all in one process, all but the first skip.
bool claimBank() {
    static bool claimed = false;
    const bool first = !claimed;
    claimed = true;
    return first;
}

#define CLAIM_BANK()                                                                               \
    if (!claimBank())                                                                              \
    GTEST_SKIP() << "needs a process of its own: run it through ctest or --gtest_filter"

// A temporary working folder with ./audio/ in it, where the bank looks for its files; with
// the disk driver the mixed output goes to a raw 16-bit stereo file in it.
class SoundFolder {
  public:
    fs::path root;
    fs::path audio;
    fs::path output;

    SoundFolder() {
        std::string pattern = (fs::temp_directory_path() / "soundbank-XXXXXX").string();
        root = mkdtemp(pattern.data());
        audio = root / "audio";
        output = root / "output.raw";
        fs::create_directories(audio);
        previous = fs::current_path();
        fs::current_path(root);
    }
    ~SoundFolder() {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    fs::path sample(int32_t index) const { return audio / catalogue::sampleSounds[index]; }

    // The machine has no sound device: the dummy driver mixes and throws the result away.
    static void useDummyOutput() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void useDiskOutput() const {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }

    // The output written so far, as interleaved left and right values.
    std::vector<int16_t> readOutput() const {
        std::ifstream file(output, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        std::vector<int16_t> values(bytes.size() / (2 * sizeof(int16_t)) * 2);
        if (!values.empty()) {
            std::memcpy(values.data(), bytes.data(), values.size() * sizeof(int16_t));
        }
        return values;
    }

    // Waits until the output holds `seconds` more than `from` values and returns all of it;
    // calls `look` meanwhile, so the bank can be read while it plays.
    template <typename Look>
    std::vector<int16_t> waitForOutput(size_t from, float seconds, Look look) const {
        const size_t wanted = from + static_cast<size_t>(seconds * rateHz) * 2;
        std::vector<int16_t> values;
        waitUntil([&] {
            look();
            values = readOutput();
            return values.size() >= wanted;
        });
        return values;
    }
    std::vector<int16_t> waitForOutput(size_t from, float seconds) const {
        return waitForOutput(from, seconds, [] {});
    }
    // Waits for `seconds` of output from now.
    std::vector<int16_t> waitForMore(float seconds) const {
        return waitForOutput(readOutput().size(), seconds);
    }

  private:
    fs::path previous;
};

// The largest magnitude among values[from, to).
int32_t peakOf(const std::vector<int16_t>& values, size_t from, size_t to) {
    int32_t peak = 0;
    for (size_t i = from; i < to && i < values.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int32_t>(values[i])));
    }
    return peak;
}

// The peak of `seconds` of output that end `beforeEnd` seconds before its end.
int32_t tailPeak(const std::vector<int16_t>& values, float seconds, float beforeEnd = 0.0f) {
    const auto count = static_cast<size_t>(seconds * rateHz) * 2;
    const auto skipped = static_cast<size_t>(beforeEnd * rateHz) * 2;
    const size_t to = values.size() > skipped ? values.size() - skipped : 0;
    return peakOf(values, to > count ? to - count : 0, to);
}

} // namespace

TEST(SoundBankLevel, MeansBothHalvesOverFullScale) {
    struct Case {
        uint32_t word;
        float level;
    };
    const Case cases[] = {
        {0x80008000u, 1.0f},                // full scale on both sides
        {0x00008000u, 0.5f},                // left only
        {0x80000000u, 0.5f},                // right only
        {0x00000000u, 0.0f},                // silence
        {0x20004000u, 0.375f},              // the halves are read apart, not as one number
        {0x7FFF8000u, 65535.0f / 65536.0f}, // summed as integers before the float scaling
        {0x00000001u, 1.0f / 65536.0f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(SoundBank::levelFromWord(c.word), c.level) << std::hex << c.word;
    }
}

TEST(SoundBankLevel, IsZeroBeforeAnyMusic) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDummyOutput();
    writeTone(folder.sample(8), 0.5f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    EXPECT_EQ(bank.musicStream, 0u);

    bank.level = 0.75f;
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    EXPECT_EQ(bank.level, 0.0f);

    bank.init();
    ASSERT_NE(bank.samples[8], 0u);
    EXPECT_NE(bank.playSample(8), 0u); // a sample is not music
    bank.level = 0.75f;
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    EXPECT_EQ(bank.level, 0.0f);
}

TEST(SoundBankPlay, SampleReachesTheOutput) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.sample(9), 0.5f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    bank.init();
    ASSERT_NE(bank.samples[9], 0u);

    const std::vector<int16_t> before = folder.waitForOutput(0, 0.05f);
    EXPECT_LT(peakOf(before, 0, before.size()), quietPeak);
    EXPECT_NE(bank.playSample(9), 0u);
    const std::vector<int16_t> after = folder.waitForMore(0.3f);
    EXPECT_GT(peakOf(after, before.size(), after.size()), loudPeak);
}

TEST(SoundBankPlay, FifthPlayTakesOverTheLongestPlaying) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDummyOutput();
    writeTone(folder.sample(8), 2.0f, 0.5f, 0.5f);
    writeTone(folder.sample(9), 2.0f, 0.5f, 0.5f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    // All within the same millisecond, where a clock cannot tell the plays apart.
    uint32_t handles[6] = {};
    for (uint32_t& handle : handles) {
        handle = bank.playSample(8);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(handles[i], 0u);
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(handles[i], handles[j]) << i << " and " << j;
        }
    }
    EXPECT_EQ(handles[4], handles[0]);
    EXPECT_EQ(handles[5], handles[1]);
    // A playback taken over is the newest again, so the next takeover passes it by.
    EXPECT_EQ(bank.playSample(8), handles[2]);

    // Another sample's playbacks never take the channels of this one.
    for (int i = 0; i < 5; ++i) {
        const uint32_t other = bank.playSample(9);
        EXPECT_NE(other, 0u);
        for (int j = 0; j < 4; ++j) {
            EXPECT_NE(other, handles[j]);
        }
    }
}

TEST(SoundBankPlay, FireLoopRepeatsAndOtherSamplesEnd) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.sample(0), 0.1f, 0.8f, 0.8f);
    writeTone(folder.sample(4), 0.1f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    ASSERT_NE(bank.playSample(0), 0u);
    std::vector<int16_t> values = folder.waitForMore(0.4f);
    EXPECT_GT(peakOf(values, 0, values.size()), loudPeak);
    EXPECT_LT(tailPeak(values, 0.1f), quietPeak);

    ASSERT_NE(bank.playSample(4), 0u);
    values = folder.waitForMore(0.4f);
    EXPECT_GT(tailPeak(values, 0.1f), loudPeak);
}

TEST(SoundBankMusic, LevelFollowsTheMusicAlone) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.sample(5), 2.0f, 0.8f, 0.8f);
    writeTone(folder.audio / "quiet.mp3", 2.0f, 0.01f, 0.01f);
    writeTone(folder.audio / "left.mp3", 2.0f, 0.8f, 0.0f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    bank.playMusic("./audio/quiet.mp3");
    const uint32_t quietStream = bank.musicStream;
    ASSERT_NE(quietStream, 0u);
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.0f; }));
    ASSERT_NE(bank.playSample(5), 0u);
    float loudest = 0.0f;
    const size_t start = folder.readOutput().size();
    const std::vector<int16_t> mixed =
        folder.waitForOutput(start, 0.3f, [&] { loudest = std::max(loudest, bank.musicLevel()); });
    EXPECT_GT(peakOf(mixed, start, mixed.size()), loudPeak); // the explosion sounded meanwhile
    EXPECT_LT(loudest, 0.05f);

    bank.playMusic("./audio/left.mp3");
    EXPECT_NE(bank.musicStream, 0u);
    EXPECT_NE(bank.musicStream, quietStream);
    // A full tone on one side only is half the level.
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.32f; }));
    EXPECT_LT(bank.level, 0.48f);
}

TEST(SoundBankMusic, LevelFallsWhenTheMusicDoes) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.audio / "burst.mp3", 0.25f, 0.8f, 0.8f, 0.75f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    bank.playMusic("./audio/burst.mp3");
    // The file loops, so both come round again every second.
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() > 0.6f; }));
    EXPECT_TRUE(waitUntil([&] { return bank.musicLevel() < 0.03f; }));
}

// A recorded or replayed frame holds one level for all its singers, music or not.
TEST(SoundBankMusic, HeldLevelWinsOverTheMeter) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.audio / "burst.mp3", 0.25f, 0.8f, 0.8f, 0.75f);
    SoundBank& bank = SoundBank::instance();
    bank.holdLevel(0.25f);
    EXPECT_EQ(bank.musicLevel(), 0.25f); // no stream yet
    EXPECT_EQ(bank.holdMeterLevel(), 0.0f);
    bank.init();

    bank.playMusic("./audio/burst.mp3");
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    ASSERT_TRUE(waitUntil([&] { return bank.holdMeterLevel() > 0.6f; }));
    const float held = bank.level;
    // The file loops every second: the meter falls silent within it, the held level does not.
    const auto second = std::chrono::steady_clock::now() + std::chrono::milliseconds(1100);
    bool keptHeld = true;
    while (std::chrono::steady_clock::now() < second)
        keptHeld = keptHeld && bank.musicLevel() == held;
    EXPECT_TRUE(keptHeld);
    EXPECT_TRUE(waitUntil([&] { return bank.holdMeterLevel() < 0.03f; }));
}

TEST(SoundBankMusic, SecondMusicReplacesTheFirst) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.audio / "loud.mp3", 2.0f, 0.8f, 0.8f);
    writeTone(folder.audio / "silent.mp3", 2.0f, 0.0f, 0.0f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    bank.playMusic("./audio/loud.mp3");
    const uint32_t first = bank.musicStream;
    EXPECT_GT(tailPeak(folder.waitForMore(0.2f), 0.1f), loudPeak);
    EXPECT_GT(bank.musicLevel(), 0.5f);

    bank.playMusic("./audio/silent.mp3");
    EXPECT_LT(bank.musicLevel(), 0.03f); // nothing of the first one's level is left over
    EXPECT_NE(bank.musicStream, 0u);
    EXPECT_NE(bank.musicStream, first);
    EXPECT_LT(tailPeak(folder.waitForMore(0.2f), 0.1f), quietPeak); // the first one is gone
    EXPECT_LT(bank.musicLevel(), 0.03f);
}

TEST(SoundBankMusic, LoopsAtItsEnd) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    writeTone(folder.audio / "short.mp3", 0.15f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    bank.playMusic("./audio/short.mp3");
    const std::vector<int16_t> values = folder.waitForMore(0.6f);
    // Every 50 ms after the first pass holds the tone: no end, no long gap at the loop point.
    for (int i = 0; i < 8; ++i) {
        EXPECT_GT(tailPeak(values, 0.05f, 0.05f * static_cast<float>(i)), loudPeak) << i;
    }
}

TEST(SoundBankFiles, MissingAndCorruptFilesStaySilent) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDummyOutput();
    writeTone(folder.sample(0), 0.2f, 0.5f, 0.5f);
    writeTone(folder.sample(9), 0.2f, 0.5f, 0.5f);
    std::vector<char> noise(4096);
    std::mt19937 generator(20240601u);
    for (char& byte : noise) {
        byte = static_cast<char>(generator() & 0xFFu);
    }
    writeBytes(folder.sample(1), noise);
    writeBytes(folder.sample(2), {});
    writeBytes(folder.audio / "noise.mp3", noise);
    writeBytes(folder.audio / "empty.mp3", {});
    fs::create_directory(folder.sample(3)); // a folder where a file should be
    SoundBank& bank = SoundBank::instance();
    bank.init();

    EXPECT_NE(bank.samples[0], 0u);
    EXPECT_NE(bank.samples[9], 0u);
    for (int32_t i = 1; i < 9; ++i) {
        EXPECT_EQ(bank.samples[i], 0u) << i;
        EXPECT_EQ(bank.playSample(i), 0u) << i;
    }
    EXPECT_EQ(bank.playSample(-1), 0u);
    EXPECT_EQ(bank.playSample(soundSampleCount), 0u);
    EXPECT_NE(bank.playSample(9), 0u);

    // Each failed file still frees the stream before it.
    for (const char* path : {"./audio/noise.mp3", "./audio/empty.mp3", "./audio/missing.mp3",
                             "./audio/firestart04.mp3", static_cast<const char*>(nullptr)}) {
        bank.playMusic("./audio/ooo_02.mp3");
        EXPECT_NE(bank.musicStream, 0u);
        bank.playMusic(path);
        EXPECT_EQ(bank.musicStream, 0u) << (path != nullptr ? path : "null");
        EXPECT_EQ(bank.musicLevel(), 0.0f);
    }
}

TEST(SoundBankFiles, MusicWithoutSoundKeepsTheMixerGoing) {
    CLAIM_BANK();
    const SoundFolder folder;
    folder.useDiskOutput();
    ASSERT_TRUE(writeMp3((folder.audio / "nothing.mp3").c_str(), {}, {})); // frames, no sound
    writeTone(folder.sample(8), 0.3f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    bank.init();

    bank.playMusic("./audio/nothing.mp3");
    EXPECT_NE(bank.musicStream, 0u);
    // Checked before any further call, which would wait for a stuck audio thread for ever.
    const size_t from = folder.readOutput().size();
    ASSERT_GE(folder.waitForOutput(from, 0.2f).size(), from + rateHz / 5 * 2) << "output stalled";
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    ASSERT_NE(bank.playSample(8), 0u);
    EXPECT_GT(tailPeak(folder.waitForMore(0.2f), 0.2f), loudPeak);
}

TEST(SoundBankDevice, NoOutputLeavesEverythingSilent) {
    CLAIM_BANK();
    const SoundFolder folder;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        writeTone(folder.sample(i), 0.1f, 0.5f, 0.5f);
    }
    writeTone(folder.audio / "music.mp3", 0.5f, 0.8f, 0.8f);
    SoundBank& bank = SoundBank::instance();
    EXPECT_EQ(bank.playSample(0), 0u); // before init, too
    bank.playMusic("./audio/music.mp3");
    EXPECT_EQ(bank.musicStream, 0u);

    bank.init();
    for (int32_t i = 0; i < soundSampleCount; ++i) {
        EXPECT_EQ(bank.samples[i], 0u) << i;
        EXPECT_EQ(bank.playSample(i), 0u) << i;
    }
    bank.playMusic("./audio/music.mp3");
    EXPECT_EQ(bank.musicStream, 0u);
    EXPECT_EQ(bank.musicLevel(), 0.0f);
    EXPECT_EQ(bank.level, 0.0f);
}

TEST(SoundBankDevice, MutedBankOpensNoOutputThoughOneIsThere) {
    CLAIM_BANK();
    const SoundFolder folder;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    writeTone(folder.sample(8), 0.1f, 0.5f, 0.5f);
    SoundBank& bank = SoundBank::instance();
    bank.mute();
    bank.init();
    EXPECT_EQ(bank.samples[8], 0u);
    EXPECT_EQ(bank.playSample(8), 0u);
}
