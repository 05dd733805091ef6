// The crowd drawn from one texture atlas: the people and the light shaft as the sprite-by-sprite
// drawing draws them (same sprites, places, order, blending and alpha tests), gathered into
// vertex arrays and sent in one draw for each run of sprites that share an alpha test.
#pragma once

#include "assets/Sprite.h"
#include "assets/TextureAtlas.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class Crowd;

class CrowdBatch {
  public:
    TextureAtlas atlas;

    // Packs every picture the crowd draws; false, with the reason, when that cannot be done.
    bool build(const Crowd& crowd, std::string& reason);
    // Every person, then the light shaft. Expects the fixed GL state; leaves blending and the
    // alpha test off and the atlas bound.
    void draw(const Crowd& crowd);

  private:
    struct Run {
        int32_t first = 0; // vertex
        int32_t count = 0; // vertices, four a sprite
        float alphaRef = 0.0f;
    };
    std::vector<float> vertices; // clip x, y, z, w, then atlas u, v, for each corner
    std::vector<Run> runs;

    std::map<std::pair<int32_t, float>, PicturePart> parts; // found once for each picture and test

    void add(const SpriteDraw& sprite, const float* projection, const float* view);
    PicturePart partPassing(int32_t sprite, float alphaRef);
};
