#include "visit/Options.h"
#include "platform/desktop/DataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {
bool parse(std::vector<std::string> words, Options& options, std::string& error) {
    words.insert(words.begin(), "throngwick");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

// The options of a good command line.
Options parsed(std::vector<std::string> words) {
    Options options;
    std::string error;
    EXPECT_TRUE(parse(std::move(words), options, error)) << error;
    return options;
}
} // namespace

TEST(Options, GoodCommandLinesAndBadOnesNamingTheProblem) {
    const Options all =
        parsed({"-display", ":3", "--seed", "7", "-geometry", "800x400+0+0", "--mute", "-sync",
                "--data=/srv/hall", "--fullscreen", "--screensaver"});
    EXPECT_TRUE(all.seedGiven && all.mute && all.fullscreen && all.screensaver && !all.help &&
                !all.version);
    EXPECT_TRUE(all.seed == 7u && all.dataFolder == "/srv/hall");
    const Options largest =
        parsed({"--seed=4294967295", "--help", "--version", "--attract", "86400"});
    EXPECT_TRUE(largest.seed == 4294967295u && largest.help && largest.version &&
                largest.attractSeconds == 86400);
    const Options replay = parsed({"--replay", "v.txt", "--frames=f", "--fps", "1000"});
    EXPECT_TRUE(replay.replayFile == "v.txt" && replay.framesFolder == "f" && replay.fps == 1000);
    const Options clip = parsed({"--video=c.webm", "--replay", "v.txt"});
    EXPECT_TRUE(clip.videoFile == "c.webm" && clip.fps == 30);
    EXPECT_EQ(parsed({"--replay", "v.txt", "--video", "c.webm", "--fps=7"}).fps, 7);
    EXPECT_EQ(parsed({"--record=v.txt", "--seed", "1"}).recordFile, "v.txt");
    const Options reference = parsed({"--renderer", "classic", "--redraw-hall"});
    EXPECT_TRUE(reference.renderer == Renderer::Classic && reference.redrawHall);
    const Options none = parsed({});
    EXPECT_FALSE(none.seedGiven || none.mute || none.fullscreen || none.redrawHall ||
                 none.screensaver);
    EXPECT_TRUE(none.dataFolder.empty() && none.renderer == Renderer::Batched);

    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--sede", "7"}, "unknown option '--sede'"},
        {{"seed"}, "unknown option 'seed'"},
        {{"--seed"}, "--seed needs a value"},
        {{"--mute", "-display"}, "-display needs a value"}, // not left for GLUT to refuse
        {{"-display", ":0", "-geometry"}, "-geometry needs a value"},
        {{"--data"}, "--data needs a value"},
        {{"--data="}, "--data needs a folder"},
        {{"--seed", "x"}, "--seed wants a whole number from 0 to 4294967295, not 'x'"},
        {{"--seed", "-1"}, "--seed wants a whole number from 0 to 4294967295, not '-1'"},
        {{"--seed", "4294967296"},
         "--seed wants a whole number from 0 to 4294967295, not '4294967296'"},
        {{"--seed", "99999999999999999999999"},
         "--seed wants a whole number from 0 to 4294967295, not '99999999999999999999999'"},
        {{"--seed", " 7"}, "--seed wants a whole number from 0 to 4294967295, not ' 7'"},
        {{"--seed=0x10"}, "--seed wants a whole number from 0 to 4294967295, not '0x10'"},
        {{"--mute=yes"}, "--mute takes no value"},
        {{"--record"}, "--record needs a value"},
        {{"--record="}, "--record needs a file"},
        {{"--frames="}, "--frames needs a folder"},
        {{"--replay", "a", "--record", "b"}, "--record and --replay cannot go together"},
        {{"--replay", "a", "--seed", "3"},
         "--replay takes the seed from the recording: leave out --seed"},
        {{"--fullscreen", "--replay", "a"},
         "--replay gives the window the recorded size: leave out --fullscreen"},
        {{"--frames", "f"}, "--frames needs --replay"},
        {{"--replay", "a", "--fps", "30"}, "--fps needs --frames or --video"},
        {{"--video", "c", "--fps", "30"}, "--video needs --replay"},
        {{"--replay", "a", "--video", "c", "--frames", "f"},
         "--frames and --video cannot go together"},
        {{"--replay", "a", "--video="}, "--video needs a file"},
        {{"--renderer", "fast"}, "--renderer is 'classic' or 'batched', not 'fast'"},
        {{"--fps", "0"}, "--fps wants a whole number from 1 to 1000, not '0'"},
        {{"--fps", "1001"}, "--fps wants a whole number from 1 to 1000, not '1001'"},
        {{"--attract", "86401"}, "--attract wants a whole number from 0 to 86400, not '86401'"},
        {{"--replay", "a", "--attract=0"}, "--attract and --replay cannot go together"},
        {{"--screensaver", "--replay", "a"}, "--screensaver and --replay cannot go together"},
        {{"--screensaver", "--attract", "0"},
         "--screensaver plays the show at once: leave out --attract"},
    };
    for (const auto& [words, wanted] : cases) {
        Options options;
        std::string error;
        EXPECT_FALSE(parse(words, options, error)) << wanted;
        EXPECT_EQ(error, wanted);
    }
}

TEST(DataFolder, TheGivenFolderThenTheWorkingOneThenTheProgramsOwn) {
    const fs::path root = fs::path(testing::TempDir()) / "DataFolderTest";
    fs::remove_all(root);
    const fs::path data = root / "data", installed = root / "usr", empty = root / "empty";
    for (const fs::path& folder : {data / "image_data", installed / "share/throngwick/image_data",
                                   installed / "games", empty})
        fs::create_directories(folder);
    const fs::path working = fs::current_path();
    fs::current_path(empty);

    // The folder found, or the error.
    const auto found = [](const std::string& given, const std::string& program) {
        std::string folder, error;
        return findDataFolder(given, program, folder, error) ? folder : "error: " + error;
    };
    EXPECT_EQ(found(data.string(), ""), data.string());
    EXPECT_EQ(found((root / "nowhere").string(), ""),
              "error: --data: no folder '" + (root / "nowhere").string() + "'");
    EXPECT_EQ(found(empty.string(), ""),
              "error: --data: '" + empty.string() + "' holds no image_data/ folder");
    // An installed program finds share/throngwick/ beside its own folder; a build's program
    // finds its own run folder.
    const std::string program = (installed / "games" / "throngwick").string();
    EXPECT_EQ(found("", program), (installed / "share" / "throngwick").string());
    EXPECT_EQ(found("", (data / "throngwick").string()), data.string());
    EXPECT_EQ(found("", (empty / "throngwick").string()), "");
    // A working folder with pictures wins over the program's: it is used as it is.
    fs::current_path(data);
    EXPECT_EQ(found("", program), "");
    fs::current_path(working);
    fs::remove_all(root);
}
