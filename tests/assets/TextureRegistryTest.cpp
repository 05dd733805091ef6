#include "assets/TextureRegistry.h"
#include "support/GlContext.h"
#include "support/TgaFile.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        folder = testing::TempDir();
    }
    std::string picture(const std::string& name) {
        const std::string path = folder + name;
        writeRgbaTga(path, 2, 2, std::vector<uint8_t>(16, 200));
        return path;
    }
    std::string folder;
    // Created after the context: the registry compiles its quad on creation.
    TextureRegistry& registry = (ensureGlContext(), TextureRegistry::instance());
};
} // namespace

TEST_F(RegistryTest, IndicesFollowRegistrationAndRepeatedNamesFindTheFirst) {
    EXPECT_NE(registry.quadList, 0u);
    EXPECT_EQ(registry.registerSprite("a", "missing.tga", true), 0);
    EXPECT_EQ(registry.registerSprite("b", "missing.tga", false), 1);
    EXPECT_EQ(registry.registerSprite("a", "missing.tga", false), 2);
    EXPECT_EQ(registry.indexOf("a"), 0);
    EXPECT_EQ(registry.indexOf("b"), 1);
    EXPECT_EQ(registry.names.size(), registry.sprites.size());
    EXPECT_TRUE(registry.sprite(0).blend);
    EXPECT_FALSE(registry.sprite(2).blend);
}

TEST_F(RegistryTest, AMissingPictureStillGetsASpriteWithTextureZero) {
    const int32_t index = registry.registerSprite("gone", "./nowhere/gone.tga", true);
    EXPECT_EQ(registry.sprite(index).texture, 0u);
}

TEST_F(RegistryTest, LoadsTgaFilesWhateverTheCaseOfTheExtension) {
    EXPECT_NE(loadTexture(picture("lower.tga").c_str()), 0u);
    EXPECT_NE(loadTexture(picture("UPPER.TGA").c_str()), 0u);
    EXPECT_NE(loadTexture(picture("Mixed.TgA").c_str()), 0u);
}

TEST_F(RegistryTest, RefusesOtherExtensionsWithoutOpeningTheFile) {
    const std::string tga = picture("real.tga");
    const std::string png = folder + "real.png";
    std::rename(tga.c_str(), png.c_str());
    EXPECT_EQ(loadTexture(png.c_str()), 0u);
    EXPECT_EQ(loadTexture("./noextension"), 0u); // the last "." is the one of "./"
    EXPECT_EQ(loadTexture("picture.tgax"), 0u);
    EXPECT_EQ(loadTexture(""), 0u);
    const int32_t index = registry.registerSprite("png", png.c_str(), true);
    EXPECT_EQ(registry.sprite(index).texture, 0u);
}

TEST_F(RegistryTest, ARefusedPictureIsReportedOnceAndAMissingOneNotAtAll) {
    const std::string grey = folder + "grey.tga";
    writeGreyTga(grey, 4, 4);
    const std::string cut = picture("cut.tga");
    truncate(cut.c_str(), 20); // 18 header bytes and 2 of the 16 pixel bytes
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadTexture(grey.c_str()), 0u);
    EXPECT_EQ(loadTexture(cut.c_str()), 0u);
    EXPECT_EQ(loadTexture(cut.c_str()), 0u);
    EXPECT_EQ(loadTexture((folder + "missing.tga").c_str()), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "throngwick: picture " + grey + " refused: 8-bit grey pictures are not drawn\n" +
                  "throngwick: picture " + cut + " refused: the file holds 20 bytes, its 2 x 2 " +
                  "pixels need 34\n");
}

TEST_F(RegistryTest, UploadLeavesTheTextureBoundAndAlignmentOne) {
    const uint32_t texture = loadTexture(picture("bound.tga").c_str());
    GLint bound = 0, alignment = 0, width = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(static_cast<uint32_t>(bound), texture);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(width, 2);
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
