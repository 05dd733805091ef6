#include "assets/TextureRegistry.h"

#include "support/Gl.h"
#include "support/Tga.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class RegistryTest : public ::testing::Test {
  protected:
    static std::string picture(const std::string& name,
                               const Bytes& bytes = solidPicture(2, 2, 200, 200, 200)) {
        const std::string path = testing::TempDir() + name;
        writeFile(path, bytes);
        return path;
    }
    // Created after the context: the registry compiles its quad on creation.
    TextureRegistry& registry = (ensureGlContext(), TextureRegistry::instance());
};
} // namespace

TEST_F(RegistryTest, ARepeatedNameFindsTheFirstOnlyTgaFilesBecomeTexturesARefusalIsSaidOnce) {
    EXPECT_NE(registry.quadList, 0u);
    EXPECT_EQ(registry.registerSprite("a", picture("a.tga").c_str(), true), 0);
    EXPECT_EQ(registry.registerSprite("b", "./nowhere/b.tga", false), 1);
    EXPECT_EQ(registry.registerSprite("a", "missing.tga", false), 2);
    EXPECT_EQ(registry.indexOf("a") * 10 + registry.indexOf("b"), 1);
    EXPECT_TRUE(registry.sprite(0).blend && !registry.sprite(2).blend);
    EXPECT_NE(registry.sprite(0).texture, 0u);
    EXPECT_EQ(registry.sprite(1).texture, 0u); // a missing picture still gets a sprite

    // Only 32-bit TGA files of any case become textures; a refused one is reported once, a
    // missing one not at all.
    for (const char* name : {"lower.tga", "UPPER.TGA", "Mixed.TgA"})
        EXPECT_NE(loadTexture(picture(name).c_str()), 0u) << name;
    EXPECT_EQ(loadTexture(picture("real.png").c_str()), 0u);
    EXPECT_EQ(loadTexture("./noextension"), 0u); // the last "." is the one of "./"
    EXPECT_EQ(loadTexture(picture("picture.tgax").c_str()), 0u);
    EXPECT_EQ(loadTexture(""), 0u);
    const std::string grey = picture("grey.tga", tgaBytes({3, 4, 4, 8, 0x20}, Bytes(16, 9)));
    Bytes cutBytes = solidPicture(2, 2, 200, 200, 200);
    cutBytes.resize(20); // 18 header bytes and 2 of the 16 pixel bytes
    const std::string cut = picture("cut.tga", cutBytes);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadTexture(grey.c_str()) + loadTexture(cut.c_str()) + loadTexture(cut.c_str()) ==
                0);
    EXPECT_EQ(loadTexture((testing::TempDir() + "missing.tga").c_str()), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "throngwick: picture " + grey + " refused: 8-bit grey pictures are not drawn\n" +
                  "throngwick: picture " + cut + " refused: the file holds 20 bytes, its 2 x 2 " +
                  "pixels need 34\n");
}

TEST_F(RegistryTest, AnUnknownNameEndsTheProgramWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1); // the child's exit finds the GL driver unloaded
    registry.registerSprite("title", "missing.tga", true);
    // The message goes to standard output; it is sent to stderr here so the check can read it.
    auto lookUp = [this] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        std::freopen("/dev/null", "r", stdin);
        registry.indexOf("TITLE");
    };
    EXPECT_EXIT(lookUp(), ::testing::ExitedWithCode(1), "Index not found TITLE! \n");
}
