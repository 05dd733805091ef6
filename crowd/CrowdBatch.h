// The crowd drawn from one texture atlas: the people and the light shaft as the sprite-by-sprite
// drawing draws them (same sprites, places, blending and alpha tests), gathered into vertex
// arrays and sent in one draw for each run of sprites that share an alpha test. Two sprites that
// touch a common pixel are drawn in their own order; a sprite may join an earlier run of its alpha
// test past sprites it shares no pixel with, which cannot change any pixel.
#pragma once

#include "assets/Sprite.h"
#include "assets/TextureAtlas.h"
#include "base/Matrix4.h"

#include <map>
#include <optional>
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
    // The draws the last frame took, one a run.
    size_t drawsLastFrame() const { return runsUsed; }

  private:
    // Window pixels a sprite may touch, a pixel wider on every side than its corners.
    struct Box {
        float left, bottom, right, top;
    };
    struct Run {
        float alphaRef = 0.0f;
        std::vector<float> vertices; // clip x, y, z, w, then atlas u, v, for each corner
        std::vector<Box> boxes;      // of its sprites
    };
    std::vector<Run> runs;  // in drawing order
    size_t runsUsed = 0;    // this frame's; the rest keep their memory for later frames
    float viewport[4] = {}; // x, y, width, height
    // For each picture and alpha test, found once: where anything can pass, if anywhere.
    std::map<std::pair<int32_t, float>, std::optional<TextureRect>> parts;

    void add(const SpriteDraw& sprite, const Matrix4& projection, const Matrix4& view);
    // The run a sprite with this alpha test and box joins.
    Run& runFor(float alphaRef, const Box& box);
    const std::optional<TextureRect>& partPassing(int32_t sprite, float alphaRef);
};
