// One texture holding many registered pictures, each framed by one texel of its own opposite
// edges, so that linear filtering at a picture's border reads what it reads in the picture's own
// texture (which repeats). The batched crowd renderer draws every crowd picture from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A rectangle of a texture's square, in its s and t from 0 to 1; the whole square by default.
struct TextureRect {
    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1 = 1.0f;
    float t1 = 1.0f;
};

class TextureAtlas {
  public:
    uint32_t texture = 0; // 0 until built
    int32_t width = 0;    // texels
    int32_t height = 0;   // texels
    // By sprite index: where the picture's own square lies in the atlas's; only the packed
    // sprites' are set.
    std::vector<TextureRect> regions;

    // Copies the textures of the given sprites into a new atlas; false, with the reason, when a
    // picture did not load or the atlas would pass the graphics library's largest texture.
    bool build(const std::vector<int32_t>& sprites, std::string& reason);
    // The part of a packed sprite's picture outside which an alpha test at alphaRef discards
    // every sample: linear filtering there reads only texels of alpha alphaRef or less. None
    // when no texel can pass.
    std::optional<TextureRect> partPassing(int32_t sprite, float alphaRef) const;

  private:
    struct Alphas {
        int32_t width = 0;
        int32_t height = 0;
        std::vector<uint8_t> values; // top row first
    };
    std::vector<Alphas> alphas; // by sprite index, as regions
};
