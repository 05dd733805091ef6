#include "assets/TextureRegistry.h"
#include "support/GlContext.h"
#include "support/TgaFile.h"

#include <GL/gl.h>
#include <array>
#include <gtest/gtest.h>

namespace {
using Pixel = std::array<int, 4>;

// The quad drawn at scale 1 fills the window: x and y from -1 to 1.
class SpriteDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        glViewport(0, 0, 1024, 512);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    Sprite spriteOf(const std::vector<uint8_t>& rgba, int width, int height, bool blend) {
        const std::string path = testing::TempDir() + "sprite.tga";
        writeRgbaTga(path, width, height, rgba);
        return Sprite{loadTexture(path.c_str()), blend};
    }
    // x and y in the -1 to 1 square, y up.
    static Pixel pixelAt(float x, float y) {
        unsigned char rgba[4];
        glReadBuffer(GL_BACK);
        glReadPixels(static_cast<int>((x + 1) * 512), static_cast<int>((y + 1) * 256), 1, 1,
                     GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }
    const Rotation none{0, 0, 0, 0};
};

const std::vector<uint8_t> quadrants = {
    255, 0, 0,   255, 0,   255, 0,   255,  // top: red, green
    0,   0, 255, 255, 255, 255, 255, 255}; // bottom: blue, white
} // namespace

TEST_F(SpriteDraw, PicturesShowUprightTopRowAtTheTop) {
    const Sprite sprite = spriteOf(quadrants, 2, 2, false);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.0f);
    EXPECT_EQ(pixelAt(-0.5f, 0.5f), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0.5f, 0.5f), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(-0.5f, -0.5f), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(0.5f, -0.5f), (Pixel{255, 255, 255, 255}));
}

TEST_F(SpriteDraw, ScalesThenTurnsThenMoves) {
    const Sprite sprite = spriteOf(std::vector<uint8_t>(16, 255), 2, 2, false);
    // Half-size 0.25 by 0.5, turned a quarter: 1 wide and 0.5 high, centred at x = 0.5.
    sprite.draw({0.5f, 0, 0}, {0.25f, 0.5f, 1}, {90, 0, 0, 1}, 0.0f);
    EXPECT_EQ(pixelAt(0.9f, 0.0f)[0], 255);
    EXPECT_EQ(pixelAt(0.1f, 0.0f)[0], 255);
    EXPECT_EQ(pixelAt(0.5f, 0.4f)[0], 0);
    EXPECT_EQ(pixelAt(-0.2f, 0.0f)[0], 0);
}

TEST_F(SpriteDraw, AngleZeroAboutTheZeroAxisLeavesItUnturned) {
    const Sprite sprite = spriteOf(quadrants, 2, 2, false);
    sprite.draw({0, 0, 0}, {1, 1, 1}, {0, 0, 0, 0}, 0.0f);
    EXPECT_EQ(pixelAt(-0.5f, 0.5f), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0.5f, -0.5f), (Pixel{255, 255, 255, 255}));
}

TEST_F(SpriteDraw, AlphaTestPassesOnlyAlphaAboveTheReference) {
    std::vector<uint8_t> almostOpaque(16);
    for (size_t i = 0; i < almostOpaque.size(); i += 4)
        almostOpaque[i] = 255, almostOpaque[i + 3] = 230; // red at alpha 0.9
    const Sprite sprite = spriteOf(almostOpaque, 2, 2, true);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.95f);
    EXPECT_EQ(pixelAt(0, 0)[0], 0);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.0f); // blended, no test
    EXPECT_NEAR(pixelAt(0, 0)[0], 230, 2);
}

TEST_F(SpriteDraw, BlendedSpriteLeavesBlendOffAndItsAlphaTestOff) {
    const Sprite sprite = spriteOf(quadrants, 2, 2, true);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.5f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    // Without an alpha reference the draw does not touch the alpha test.
    glEnable(GL_ALPHA_TEST);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(SpriteDraw, OpaqueSpriteLeavesBlendAndAlphaTestAsTheCallerSetThem) {
    const Sprite sprite = spriteOf(quadrants, 2, 2, false);
    glEnable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.95f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    glDisable(GL_BLEND);
}

TEST_F(SpriteDraw, LeavesTheModelViewMatrixAsItFoundIt) {
    const Sprite sprite = spriteOf(quadrants, 2, 2, true);
    glTranslatef(0.1f, 0.2f, 0.0f);
    GLdouble before[16], after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    sprite.draw({0.3f, 0, 0}, {0.5f, 0.5f, 1}, {30, 0, 0, 1}, 0.0f);
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]);
}
