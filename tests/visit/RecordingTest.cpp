#include "visit/Recording.h"
#include "visit/ReplaySchedule.h"

#include <GL/freeglut.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const header = "throngwick-visit 3\nseed 7\nwindow 1024 512\nstart 100\n";

bool parse(const std::string& text, Recording& recording, std::string& error) {
    return parseRecording(text.data(), text.size(), "v.txt", recording, error);
}

// What reading the text says is wrong with it; empty when it reads.
std::string errorOf(const std::string& text) {
    Recording recording;
    std::string error;
    return parse(text, recording, error) ? "" : error.empty() ? "?" : error;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path tempFile(const char* name) {
    return fs::path(testing::TempDir()) / name;
}

} // namespace

TEST(RecordingFormat, EveryRecordRoundTripsBitForBit) {
    const RecordedEvent events[] = {
        {EventKind::Reshape, 0, 0, 800, 600},   {EventKind::Mouse, 2, 1, 0, 599},
        {EventKind::Drag, 0, 0, -32768, 32767}, {EventKind::Move, 0, 0, 799, 0},
        {EventKind::Key, 255, 0, 5, 6},         {EventKind::KeyUp, 49, 0, 7, 8},
        {EventKind::Special, 65535, 0, 9, 10},  {EventKind::SpecialUp, 101, 0, 11, 12}};
    // Levels whose shortest decimal form needs all nine digits, and the ends of the range.
    const float levels[] = {0.1f, std::nextafter(0.5f, 1.0f), 1.0f, 1e-40f, 0.0f};
    const fs::path path = tempFile("roundtrip.txt");
    std::string error;
    {
        RecordingWriter writer;
        ASSERT_TRUE(writer.open(path.string(), error)) << error;
        writer.writeHeader(4294967295u, 1024, 512, 9007199254740000);
        for (const RecordedEvent& event : events)
            writer.writeEvent(event);
        for (size_t i = 0; i < std::size(levels); ++i)
            ASSERT_TRUE(writer.writeFrame(9007199254740000 + static_cast<int64_t>(i / 2), levels[i],
                                          i != 1, error));
    }
    EXPECT_EQ(readFile(path),
              "throngwick-visit 3\nseed 4294967295\nwindow 1024 512\nstart 9007199254740000\n"
              "reshape 800 600\nmouse 2 1 0 599\ndrag -32768 32767\nmove 799 0\nkey 255 5 6\n"
              "keyup 49 7 8\nspecial 65535 9 10\nspecialup 101 11 12\n"
              "frame 9007199254740000 0.100000001\nframe 9007199254740000 0.50000006 hidden\n"
              "frame 9007199254740001 1\nframe 9007199254740001 9.9999461e-41\nframe "
              "9007199254740002 0\n");

    Recording recording;
    ASSERT_TRUE(readRecording(path.string(), recording, error)) << error;
    EXPECT_EQ(std::make_tuple(recording.seed, recording.width, recording.height, recording.startMs),
              std::make_tuple(4294967295u, 1024, 512, int64_t{9007199254740000}));
    ASSERT_EQ(recording.events.size(), std::size(events));
    for (size_t i = 0; i < std::size(events); ++i)
        EXPECT_EQ(std::memcmp(&recording.events[i], &events[i], sizeof events[i]), 0) << i;
    ASSERT_EQ(recording.frames.size(), std::size(levels));
    for (size_t i = 0; i < std::size(levels); ++i) {
        const RecordedFrame& frame = recording.frames[i];
        EXPECT_EQ(std::memcmp(&frame.level, &levels[i], sizeof(float)), 0) << "frame " << i;
        EXPECT_TRUE(frame.clockMs == 9007199254740000 + static_cast<int64_t>(i / 2) &&
                    frame.displayed == (i != 1) && frame.endEvent == std::size(events))
            << i;
    }
}

TEST(RecordingFormat, BadFilesNameTheLineAndTheProblemAndAtMost16777216LinesAreRead) {
    const std::string h = header, wants = "v.txt:5: malformed line, wants ";
    const std::string notVisit =
        "v.txt:1: not a visit recording: it should begin with 'throngwick-visit 3'";
    const std::string version = " is not known; this program reads versions 1 to 3";
    const std::string frameUsage = wants + "'frame MS LEVEL' or 'frame MS LEVEL hidden' (MS from 0 "
                                           "to 9007199254740991, LEVEL from 0 to 1)";
    const std::string mouseUsage =
        wants + "'mouse BUTTON STATE X Y' (BUTTON 0 to 31, STATE 0 or 1, X and Y -32768 to 32767)";
    const std::string windowUsage =
        "v.txt:3: malformed line, wants 'window W H' (W and H from 1 to 8192)";
    const std::string outside = " lies outside the 1024x512 window";
    const std::pair<std::string, std::string> cases[] = {
        // clang-format off
        {"", "v.txt:1: the recording ends before its first whole frame"},
        {h, "v.txt:5: the recording ends before its first whole frame"},
        {"\x01\xff\n", notVisit}, {"# throngwick-visit 2\n", notVisit},
        {std::string(201, '\0'), notVisit}, // a huge or endless file of zeros
        {"throngwick-visit 4\n", "v.txt:1: format version 4" + version},
        {"throngwick-visit 0\n", "v.txt:1: format version 0" + version},
        {"throngwick-visit 1\nwindow 1024 512\n",
         "v.txt:2: expected 'seed N' (N from 0 to 4294967295)"},
        {"throngwick-visit 1\nseed 4294967296\n",
         "v.txt:2: malformed line, wants 'seed N' (N from 0 to 4294967295)"},
        {"throngwick-visit 1\nseed 1\nwindow 8193 512\n", windowUsage},
        {"throngwick-visit 1\nseed 1\nwindow 0 512\n", windowUsage},
        {"throngwick-visit 1\nseed 1\nwindow 1 1\nstart -1\n",
         "v.txt:4: malformed line, wants 'start MS' (MS from 0 to 9007199254740991)"},
        {h + "jump 1 2\n", "v.txt:5: unknown record 'jump'"},
        {h + "\x7f\n", "v.txt:5: unknown record"},
        {h + "frame 100\n", frameUsage}, {h + "frame 100 1.0000001\n", frameUsage},
        {h + "frame 100 nan\n", frameUsage}, {h + "frame 9007199254740992 0\n", frameUsage},
        {h + "frame 100 0.5 shown\n", frameUsage},
        {h + "frame 99 0\n", "v.txt:5: the clock goes back from 100 to 99 ms"},
        {h + "frame 200 0\nframe 200 0\nframe 199 0\n",
         "v.txt:7: the clock goes back from 200 to 199 ms"},
        {h + "mouse 0 2 1 1\n", mouseUsage}, {h + "mouse 32 0 1 1\n", mouseUsage},
        {h + "drag 32768 0\n", wants + "'drag X Y' (X and Y -32768 to 32767)"},
        {h + "key 256 1 1\n", wants + "'key CODE X Y' (CODE 0 to 255, X and Y -32768 to 32767)"},
        {h + "keyup 1 1\n", wants + "'keyup CODE X Y' (CODE 0 to 255, X and Y -32768 to 32767)"},
        {h + "special 1 1 1 1\n",
         wants + "'special CODE X Y' (CODE 0 to 65535, X and Y -32768 to 32767)"},
        {h + "reshape 8193 1\n", wants + "'reshape W H' (W and H from 0 to 8192)"},
        {h + "move 1 +2\n", wants + "'move X Y' (X and Y -32768 to 32767)"},
        {h + "move 1024 0\nframe 100 0\n", "v.txt:5: the pointer at (1024, 0)" + outside},
        {h + "move 0 -1\nframe 100 0\n", "v.txt:5: the pointer at (0, -1)" + outside},
        {h + "reshape 800 600\nframe 100 0\nmove 0 0\nmove 900 10\nframe 100 0\n",
         "v.txt:8: the pointer at (900, 10) lies outside the 800x600 window"},
        {h + std::string(201, 'x') + "\n", "v.txt:5: line longer than 200 characters"},
        {h + std::string(201, 'x'), "v.txt:5: line longer than 200 characters"},
        // clang-format on
    };
    for (const auto& [text, wanted] : cases)
        EXPECT_EQ(errorOf(text), wanted);

    // A move may come before the reshape that grows the window.
    EXPECT_EQ(errorOf(std::string(header) + "move 1100 10\nreshape 1200 512\nframe 100 0\n" +
                      "move 1199 511\nreshape 0 0\nframe 101 0\n" + std::string(200, '#') + "\n"),
              "");

    // At most 16777216 lines are read.
    const std::string text = header + std::string("frame 100 0") + std::string((1 << 24) - 4, '\n');
    EXPECT_EQ(errorOf(text), "");
    EXPECT_EQ(errorOf(text + "\n"), "v.txt:16777217: the recording goes on past 16777216 lines, "
                                    "more than this program replays");
}

TEST(RecordingFormat, ACutShortFileReplaysToItsLastWholeFrameAndCommentsAreLeftAside) {
    const std::string text =
        std::string(header) +
        "# a click\r\n\n  reshape 1024 512  \r\nframe 130 0\nmove 5 6\nmouse 0 1 "
        "5 6\nframe 150 0.25\nkey 49 5 6\nframe 170 0.5 hidden\nkey 27 5 6\n";
    // Cut at every byte: the frames are the whole frame lines before the cut, the events those
    // before the last of them; comments, blank lines, spaces and line ends count for nothing.
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        const std::string prefix = text.substr(0, cut);
        size_t wholeFrames = 0;
        size_t lineStart = 0;
        for (size_t end = prefix.find('\n'); end != std::string::npos;
             lineStart = end + 1, end = prefix.find('\n', lineStart))
            wholeFrames += prefix.compare(lineStart, 6, "frame ") == 0;
        Recording recording;
        std::string error;
        const bool read = parse(prefix, recording, error);
        ASSERT_EQ(read, wholeFrames > 0) << cut << ": " << error;
        if (!read)
            continue;
        const size_t eventsBefore[] = {1, 3, 4};
        ASSERT_EQ(recording.frames.size(), wholeFrames) << cut;
        EXPECT_EQ(recording.events.size(), eventsBefore[wholeFrames - 1]) << cut;
    }
}

TEST(RecordingFile, ReadABlockAtATimeLinesAcrossBlocksAreWholeAndAFileThatFailsSaysWhy) {
    // Lines of 10 characters from byte 52: the ends of 64 KiB blocks fall inside them.
    const fs::path path = tempFile("blocks.txt");
    std::string text = header;
    while (text.size() < 65536 + 20)
        text += "move 10 1\n";
    std::ofstream(path, std::ios::binary) << text << "frame 100 0\n";
    Recording recording;
    std::string error;
    ASSERT_TRUE(readRecording(path.string(), recording, error)) << error;
    EXPECT_TRUE(recording.events.size() == (text.size() - 52) / 10 &&
                recording.events.back().x == 10);
    text.resize(65530); // 6551 whole lines, then one too long across a block's end
    std::ofstream(path, std::ios::binary) << text << std::string(201, 'x') << "\n";
    EXPECT_FALSE(readRecording(path.string(), recording, error));
    EXPECT_EQ(error, path.string() + ":6552: line longer than 200 characters");

    const std::string missing = tempFile("no-such-visit.txt").string();
    EXPECT_FALSE(readRecording(missing, recording, error));
    EXPECT_EQ(error, missing + ": cannot read it: No such file or directory");
    const std::string folder = testing::TempDir();
    EXPECT_FALSE(readRecording(folder, recording, error));
    EXPECT_EQ(error, folder + ": cannot read it: Is a directory");

    RecordingWriter writer;
    EXPECT_FALSE(writer.open(folder, error));
    EXPECT_EQ(error, folder + ": cannot write it: Is a directory");

    // A program that does not start leaves an existing file as it was, and makes none.
    const fs::path kept = tempFile("kept.txt"), fresh = tempFile("fresh.txt");
    std::ofstream(kept) << "an earlier visit\n";
    fs::remove(fresh);
    for (const bool starts : {false, true}) {
        RecordingWriter old, made;
        ASSERT_TRUE(old.open(kept.string(), error) && made.open(fresh.string(), error)) << error;
        EXPECT_EQ(readFile(kept), "an earlier visit\n");
        if (starts)
            old.writeHeader(1, 2, 3, 4);
    }
    EXPECT_TRUE(readFile(kept) == "throngwick-visit 3\nseed 1\nwindow 2 3\nstart 4\n" &&
                !fs::exists(fresh));
}

// The steps a schedule gives, then no more.
void expectSteps(const Recording& recording, int32_t fps, const std::vector<ReplayStep>& steps) {
    ReplaySchedule schedule(recording, fps);
    EXPECT_EQ(schedule.total(), static_cast<int64_t>(steps.size())) << fps;
    const auto fields = [](const ReplayStep& s) {
        return std::make_tuple(s.clockMs, s.level, s.displayed, s.firstEvent, s.endEvent);
    };
    ReplayStep step;
    for (const ReplayStep& want : steps) {
        ASSERT_TRUE(schedule.next(step)) << fps;
        EXPECT_EQ(fields(step), fields(want)) << fps;
    }
    EXPECT_FALSE(schedule.next(step)) << fps;
}

TEST(ReplaySchedule, TheRecordedFramesOrAThousandOverNMillisecondsAndOfAStallASecondAsLive) {
    Recording recorded;
    std::string error;
    ASSERT_TRUE(parse(std::string(header) + "frame 100 0.25 hidden\nmove 1 1\nmove 2 2\n" +
                          "frame 117 0.5\nframe 117 0.75\n",
                      recorded, error));
    expectSteps(recorded, 0,
                {{100, 0.25f, false, 0, 0}, {117, 0.5f, true, 0, 2}, {117, 0.75f, true, 2, 2}});

    Recording recording;
    // Events at the start's own millisecond, between steps, and at the last recorded frame.
    ASSERT_TRUE(parse("throngwick-visit 1\nseed 1\nwindow 10 10\nstart 0\nmove 1 1\nframe 0 "
                      "0.125 hidden\nmove 2 2\nframe 334 0.25\nmove 3 3\nframe 665 0.5\nmove 4 "
                      "4\nframe 1000 1\n",
                      recording, error))
        << error;
    // 333.3 ms a step: whole milliseconds that never drift, 1000 after three steps.
    expectSteps(recording, 3,
                {{333, 0.125f, true, 0, 1}, {666, 0.5f, true, 1, 3}, {1000, 1.0f, true, 3, 4}});
    expectSteps(recording, 1, {{1000, 1.0f, true, 0, 4}});
    // Slower than the recording: the last step passes the last frame's clock.
    expectSteps(recording, 2, {{500, 0.25f, true, 0, 2}, {1000, 1.0f, true, 2, 4}});

    // A thousand a second: a step per millisecond, the level before the first frame 0.
    Recording late;
    ASSERT_TRUE(
        parse("throngwick-visit 1\nseed 1\nwindow 10 10\nstart 10\nframe 13 0.5\n", late, error));
    expectSteps(late, 1000,
                {{11, 0.0f, true, 0, 0}, {12, 0.0f, true, 0, 0}, {13, 0.5f, true, 0, 0}});
    // 2.5 ms a step: the second passes the last frame.
    expectSteps(late, 400, {{12, 0.0f, true, 0, 0}, {15, 0.5f, true, 0, 0}});

    // From the start a second to each of the first two frames, then 1.1 s: a stall.
    Recording stalled;
    ASSERT_TRUE(
        parse(std::string(header) + "frame 1100 0\nframe 2100 0\nframe 3200 0\n", stalled, error));
    // At a steady 4 a second from 100 ms, the frames within the stall hold the scene still.
    ReplaySchedule steady(stalled, 4);
    ReplayStep step;
    std::string held;
    while (steady.next(step))
        held += step.held ? 'h' : '.';
    EXPECT_EQ(held, "........hhhh.");
    // Watched and held up for 2 s, it hurries through one and goes on at its pace from there.
    ReplaySchedule watched(stalled, 0);
    const int64_t elapsed[] = {0, 4000, 4000}, waits[] = {1000, -1000, 100};
    for (size_t i = 0; i < std::size(waits); ++i)
        EXPECT_TRUE(watched.next(step) && watched.waitMs(step, elapsed[i]) == waits[i]) << i;
}

// An older visit replays as it was recorded: the keys its program ignored do nothing in it.
TEST(RecordingFormat, OlderVersionsReplayWithTheKeysTheirProgramIgnoredDoingNothing) {
    std::string error;
    const std::string rest = "seed 1\nwindow 10 10\nstart 0\nkey 112 1 1\nframe 1 0\n";
    for (int32_t version : {1, 2, 3}) {
        Recording visit;
        ASSERT_TRUE(
            parse("throngwick-visit " + std::to_string(version) + "\n" + rest, visit, error))
            << error;
        EXPECT_EQ(visit.version, version);
    }
    using K = EventKind;
    const struct {
        EventKind kind;
        int32_t code;
        bool acts[3]; // in versions 1, 2 and 3
    } cases[] = {
        // clang-format off
        {K::Key, 'm', {false, true, true}}, {K::Key, 'P', {false, true, true}},
        {K::Key, 13, {false, false, true}}, {K::Key, ' ', {false, false, true}},
        {K::Special, GLUT_KEY_LEFT, {false, false, true}},
        {K::Special, GLUT_KEY_DOWN, {false, false, true}},
        {K::Special, GLUT_KEY_PAGE_UP, {true, true, true}}, {K::Special, 99, {true, true, true}},
        {K::Special, GLUT_KEY_F11, {true, true, true}}, {K::Special, 'p', {true, true, true}},
        {K::Key, '1', {true, true, true}}, {K::Key, '\x1b', {true, true, true}},
        {K::Key, 'q', {true, true, true}}, {K::KeyUp, 13, {true, true, true}},
        {K::SpecialUp, GLUT_KEY_UP, {true, true, true}},
        // clang-format on
    };
    for (const auto& c : cases)
        for (int32_t version : {1, 2, 3})
            EXPECT_EQ(actedIn(version, {c.kind, c.code, 0, 1, 1}), c.acts[version - 1])
                << "kind " << int(c.kind) << " code " << c.code << " version " << version;
}
