#include "assets/TextureAtlas.h"
#include "assets/TextureRegistry.h"

#include "support/Gl.h"
#include "support/Tga.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {
// A picture whose texel (x, y) holds red x, green y and blue 7.
int32_t registerPicture(const std::string& name, uint16_t width, uint16_t height) {
    Bytes rgba;
    for (uint8_t y = 0; y < height; ++y)
        for (uint8_t x = 0; x < width; ++x)
            rgba.insert(rgba.end(), {x, y, 7, 255});
    const std::string path = testing::TempDir() + name + ".tga";
    writeFile(path, rgbaPicture(width, height, rgba));
    return TextureRegistry::instance().registerSprite(name, path.c_str(), true);
}
} // namespace

TEST(TextureAtlas, EachPictureSitsInAFrameOfItsOwnOppositeEdgesTheTrimmedPartAllThatCanPass) {
    ensureGlContext();
    const int32_t wide = registerPicture("wide", 5, 3), tall = registerPicture("tall", 2, 4);
    TextureAtlas atlas;
    std::string reason;
    ASSERT_TRUE(atlas.build({wide, tall}, reason)) << reason;
    std::vector<uint8_t> texels(size_t(atlas.width) * atlas.height * 4);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    for (auto [sprite, w, h] : {std::tuple{wide, 5, 3}, std::tuple{tall, 2, 4}}) {
        const TextureRect& region = atlas.regions[sprite];
        const int x0 = int(region.s0 * atlas.width), y0 = int(region.t0 * atlas.height);
        EXPECT_TRUE(int(region.s1 * atlas.width) - x0 == w &&
                    int(region.t1 * atlas.height) - y0 == h);
        for (int y = -1; y <= h; ++y)
            for (int x = -1; x <= w; ++x) {
                const uint8_t* texel = &texels[(size_t(y0 + y) * atlas.width + x0 + x) * 4];
                EXPECT_TRUE(texel[0] == (x + w) % w && texel[1] == (y + h) % h)
                    << sprite << " at " << x << ", " << y;
            }
    }
    const int32_t missing = TextureRegistry::instance().registerSprite("gone", "gone.tga", true);
    EXPECT_FALSE(TextureAtlas().build({wide, missing}, reason));
    EXPECT_EQ(reason, "the picture \"gone\" did not load");

    // The trimmed part holds every sample that can pass the alpha test.
    Bytes rgba(8 * 8 * 4, 0);
    for (int y = 3; y <= 5; ++y)
        for (int x = 2; x <= 4; ++x)
            rgba[(y * 8 + x) * 4 + 3] = 250;
    rgba[(7 * 8 + 0) * 4 + 3] = 20; // faint, in the bottom left corner
    const std::string path = testing::TempDir() + "block.tga";
    writeFile(path, rgbaPicture(8, 8, rgba));
    const int32_t block = TextureRegistry::instance().registerSprite("block", path.c_str(), true);
    TextureAtlas trimmed;
    ASSERT_TRUE(trimmed.build({block}, reason)) << reason;
    const std::optional<TextureRect> part = trimmed.partPassing(block, 0.95f);
    ASSERT_TRUE(part);
    const auto corners = [](const TextureRect& r) {
        return std::vector<float>{r.s0, r.s1, r.t0, r.t1};
    };
    // Texels 2 to 4 are read by samples from 1.5 to 5.5 texels, rows 3 to 5 from 2.5 to 6.5.
    EXPECT_EQ(corners(*part), (std::vector<float>{1.5f / 8, 5.5f / 8, 2.5f / 8, 6.5f / 8}));
    // Above 0.05 the faint corner counts: it is read across the left and bottom edges too.
    const std::optional<TextureRect> faint = trimmed.partPassing(block, 0.05f);
    ASSERT_TRUE(faint);
    EXPECT_EQ(corners(*faint), (std::vector<float>{0, 1, 0, 1}));
    EXPECT_FALSE(trimmed.partPassing(block, 0.99f));
}
