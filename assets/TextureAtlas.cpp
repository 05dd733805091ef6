#include "assets/TextureAtlas.h"

#include "assets/TextureRegistry.h"
#include "base/Framing.h"

#include <GL/gl.h>
#include <algorithm>

namespace {

struct Picture {
    int32_t sprite = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgba; // top row first, as uploaded
    int32_t x = 0;             // where its first texel lands in the atlas
    int32_t y = 0;
};

// Reads a texture back as the RGBA bytes it was made from.
bool readTexture(uint32_t texture, Picture& picture) {
    if (texture == 0)
        return false;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &picture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &picture.height);
    if (picture.width <= 0 || picture.height <= 0)
        return false;
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
    return true;
}

int32_t powerOfTwoAtLeast(int32_t value) {
    int32_t power = 1;
    while (power < value)
        power *= 2;
    return power;
}

// Shelves of pictures, tallest first, in rows of the given width; returns the height used.
int32_t pack(std::vector<Picture>& pictures, int32_t atlasWidth) {
    std::vector<Picture*> tallestFirst;
    for (Picture& picture : pictures)
        tallestFirst.push_back(&picture);
    std::stable_sort(tallestFirst.begin(), tallestFirst.end(),
                     [](const Picture* a, const Picture* b) { return a->height > b->height; });
    int32_t x = 0;
    int32_t shelfTop = 0;
    int32_t shelfHeight = 0;
    for (Picture* picture : tallestFirst) {
        const int32_t w = picture->width + 2 * frameBorder;
        if (x + w > atlasWidth) {
            shelfTop += shelfHeight;
            x = 0;
            shelfHeight = 0;
        }
        picture->x = x + frameBorder;
        picture->y = shelfTop + frameBorder;
        x += w;
        shelfHeight = std::max(shelfHeight, picture->height + 2 * frameBorder);
    }
    return shelfTop + shelfHeight;
}

} // namespace

bool TextureAtlas::build(const std::vector<int32_t>& sprites, std::string& reason) {
    const TextureRegistry& registry = TextureRegistry::instance();
    std::vector<Picture> pictures;
    for (const int32_t sprite : sprites) {
        Picture picture;
        picture.sprite = sprite;
        if (!readTexture(registry.sprite(sprite).texture, picture)) {
            reason = "the picture \"" + registry.names[sprite] + "\" did not load";
            return false;
        }
        pictures.push_back(std::move(picture));
    }

    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    int32_t atlasWidth = 1024;
    for (const Picture& picture : pictures)
        atlasWidth = std::max(atlasWidth, powerOfTwoAtLeast(picture.width + 2 * frameBorder));
    int32_t atlasHeight = pack(pictures, atlasWidth);
    // A wider atlas when the pictures are too many for a square one.
    while (atlasHeight > atlasWidth && atlasWidth < largest) {
        atlasWidth *= 2;
        atlasHeight = pack(pictures, atlasWidth);
    }
    // Sides of a power of two sample a little faster in software renderers.
    atlasHeight = powerOfTwoAtLeast(atlasHeight);
    if (atlasWidth > largest || atlasHeight > largest) {
        reason = "the atlas of " + std::to_string(atlasWidth) + " x " +
                 std::to_string(atlasHeight) + " texels passes the largest texture, " +
                 std::to_string(largest);
        return false;
    }

    std::vector<uint8_t> texels(static_cast<size_t>(atlasWidth) * atlasHeight * 4, 0);
    regions.assign(registry.sprites.size(), TextureRect{});
    alphas.assign(registry.sprites.size(), Alphas{});
    const float fullWidth = static_cast<float>(atlasWidth);
    const float fullHeight = static_cast<float>(atlasHeight);
    for (const Picture& picture : pictures) {
        copyFramed(picture.rgba, picture.width, picture.height, texels, atlasWidth, picture.x,
                   picture.y);
        regions[picture.sprite] = {static_cast<float>(picture.x) / fullWidth,
                                   static_cast<float>(picture.y) / fullHeight,
                                   static_cast<float>(picture.x + picture.width) / fullWidth,
                                   static_cast<float>(picture.y + picture.height) / fullHeight};
        Alphas& kept = alphas[picture.sprite];
        kept.width = picture.width;
        kept.height = picture.height;
        for (size_t k = 3; k < picture.rgba.size(); k += 4)
            kept.values.push_back(picture.rgba[k]);
    }

    // Each picture's frame does the wrapping.
    texture = createTexture(atlasWidth, atlasHeight, texels.data(), false);
    width = atlasWidth;
    height = atlasHeight;
    return true;
}

std::optional<TextureRect> TextureAtlas::partPassing(int32_t sprite, float alphaRef) const {
    const Alphas& picture = alphas[sprite];
    const int32_t w = picture.width;
    const int32_t h = picture.height;
    int32_t left = w, right = -1, top = h, bottom = -1;
    for (int32_t row = 0; row < h; ++row)
        for (int32_t column = 0; column < w; ++column)
            // A filtered alpha is a weighted mean of texels, never above the largest of them.
            if (picture.values[static_cast<size_t>(row) * w + column] > alphaRef * 255.0f) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    if (right < 0)
        return std::nullopt;
    // Texel k spans k to k + 1 and is read by samples from k - 0.5 to k + 1.5; a texel of the
    // first or last column or row is also read across the opposite edge, where the picture repeats.
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);
    TextureRect part;
    if (right != w - 1)
        part.s0 = std::max(0.0f, (static_cast<float>(left) - 0.5f) / fw);
    if (left != 0)
        part.s1 = std::min(1.0f, (static_cast<float>(right) + 1.5f) / fw);
    if (bottom != h - 1)
        part.t0 = std::max(0.0f, (static_cast<float>(top) - 0.5f) / fh);
    if (top != 0)
        part.t1 = std::min(1.0f, (static_cast<float>(bottom) + 1.5f) / fh);
    return part;
}
