#include "assets/TextureRegistry.h"

#include "support/Gl.h"
#include "support/Tga.h"

#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
// The quad drawn at scale 1 fills the window: x and y from -1 to 1.
class SpriteDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        TextureRegistry::instance();
        glViewport(0, 0, windowWidth, windowHeight);
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
    static Sprite spriteOf(const Bytes& picture, bool blend) {
        const std::string path = testing::TempDir() + "sprite.tga";
        writeFile(path, picture);
        return Sprite{loadTexture(path.c_str()), blend};
    }
    // x and y in the -1 to 1 square, y up.
    static Rgb at(float x, float y) { return pixelAt({(x + 1) * 512, (y + 1) * 256, 0}); }
    const Rotation none{0, 0, 0, 0};
};

const Bytes quadrants = rgbaPicture(2, 2,
                                    {255, 0, 0, 255, 0, 255, 0, 255,       // red, green
                                     0, 0, 255, 255, 255, 255, 255, 255}); // blue, white
} // namespace

TEST_F(SpriteDrawing, ScalesThenTurnsThenMovesAndRestoresTheMatrix) {
    glTranslatef(0.1f, 0.0f, 0.0f);
    const ViewMatrices before = readViewMatrices();
    // Half-size 0.25 by 0.5, turned a quarter: 1 wide and 0.5 high, centred at x = 0.6.
    spriteOf(solidPicture(2, 2, 255, 255, 255), false)
        .draw({0.5f, 0, 0}, {0.25f, 0.5f, 1}, {90, 0, 0, 1}, 0.0f);
    EXPECT_TRUE(at(0.95f, 0.0f)[0] == 255 && at(0.2f, 0.0f)[0] == 255);
    EXPECT_TRUE(at(0.6f, 0.4f)[0] == 0 && at(0.0f, 0.0f)[0] == 0);
    const ViewMatrices after = readViewMatrices();
    EXPECT_TRUE(std::equal(before.modelview, before.modelview + 16, after.modelview));
}

TEST_F(SpriteDrawing, BlendedSpritesTestAlphaAboveTheReferenceOnlyLeaveBothOffAndShowUpright) {
    const Sprite sprite = spriteOf(solidPicture(2, 2, 255, 0, 0, 230), true); // alpha 0.9
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.95f);
    EXPECT_TRUE(at(0, 0)[0] == 0 && !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_ALPHA_TEST));
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.0f); // blended without an alpha test
    EXPECT_NEAR(at(0, 0)[0], 230, 2);
    glEnable(GL_ALPHA_TEST);
    sprite.draw({0, 0, 0}, {1, 1, 1}, none, 0.0f); // which it then leaves alone
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST) && !glIsEnabled(GL_BLEND));
    glEnable(GL_BLEND); // an opaque sprite leaves both as they were
    spriteOf(quadrants, false).draw({0, 0, 0}, {1, 1, 1}, none, 0.95f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_ALPHA_TEST));
    // Its picture shows upright, and an angle of zero about no axis turns nothing.
    EXPECT_TRUE(at(-0.5f, 0.5f) == (Rgb{255, 0, 0}) && at(0.5f, 0.5f) == (Rgb{0, 255, 0}));
    EXPECT_TRUE(at(-0.5f, -0.5f) == (Rgb{0, 0, 255}) && at(0.5f, -0.5f) == (Rgb{255, 255, 255}));
}
