#include "platform/desktop/Snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

namespace fs = std::filesystem;

TEST(Snapshot, TheDesktopsPicturesFolderANewNameForEachPictureAndNoFileWrittenOver) {
    const fs::path root = fs::path(testing::TempDir()) / "SnapshotTest";
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "user-dirs.dirs") << "# XDG_PICTURES_DIR=\"/nope\"\n"
                                              "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                                              "  XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(picturesFolder("/srv/pics", root.c_str(), "/home/u"), "/srv/pics");
    EXPECT_EQ(picturesFolder("", root.c_str(), "/home/u"), "/home/u/Bilder");
    EXPECT_EQ(picturesFolder(nullptr, "/nowhere", "/home/u"), "/home/u/Pictures");
    EXPECT_EQ(picturesFolder(nullptr, nullptr, nullptr), "");
    // Relative paths say nowhere: the program works in its data folder.
    EXPECT_EQ(picturesFolder("pics", root.c_str(), "/home/u"), "/home/u/Bilder");
    const std::string relative = fs::relative(root).string();
    EXPECT_EQ(picturesFolder(nullptr, relative.c_str(), "/home/u"), "/home/u/Pictures");
    EXPECT_EQ(picturesFolder(nullptr, nullptr, "home"), "");

    // The file as the shell reads it: what follows the closing quote is not the value, and
    // backslashes escape; a line that is not of the format is left aside.
    const std::pair<const char*, const char*> lines[] = {
        {"XDG_PICTURES_DIR=\"$HOME/Bilder\" \r", "/home/u/Bilder"},
        {"XDG_PICTURES_DIR=\"/srv/a \\\"b\\\" \\\\c\\$HOME\" # mine", "/srv/a \"b\" \\c$HOME"},
        {"XDG_PICTURES_DIR = \"$HOME\"", "/home/u"},
        {"XDG_PICTURES_DIR=\"\\$HOME/x\"", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"$HOMEx\"", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"Bilder\"", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"/srv/open", "/home/u/Pictures"},
        {"XDG_PICTURES_DIRS=\"/srv/b\"", "/home/u/Pictures"}};
    for (const auto& [line, folder] : lines) {
        std::ofstream(root / "user-dirs.dirs") << line << "\n";
        EXPECT_EQ(picturesFolder(nullptr, root.c_str(), "/home/u"), folder) << line;
    }

    std::tm when{};
    when.tm_year = 126, when.tm_mday = 2, when.tm_sec = 5;
    const std::vector<uint8_t> pixels(2 * 3, 200); // 2 by 1
    std::string path, error;
    ASSERT_TRUE(saveSnapshot(root, when, 2, 1, pixels, path, error)) << error;
    EXPECT_EQ(path, (root / "Throngwick/throngwick-20260102-000005.png").string());
    std::ofstream(root / "Throngwick" / snapshotName(when, 2)) << "someone else's";
    ASSERT_TRUE(saveSnapshot(root, when, 2, 1, pixels, path, error)) << error;
    EXPECT_TRUE(path == (root / "Throngwick/throngwick-20260102-000005-3.png").string() &&
                fs::file_size(root / "Throngwick" / snapshotName(when, 2)) == 14u);
    fs::remove_all(root);
}
