#include "crowd/CrowdBatch.h"

#include "crowd/Crowd.h"

#include <GL/gl.h>
#include <algorithm>
#include <cassert>

namespace {
constexpr int floatsPerVertex = 6;   // clip x, y, z, w, then u, v
constexpr size_t runsLookedBack = 4; // for a run a sprite may join

// The shared quad's corners in its own order, with the texture corner each shows: the picture's
// top row (t = 0) on the top edge.
struct Corner {
    float x, y, s, t;
};
constexpr Corner quadCorners[4] = {{-1, -1, 0, 1}, {1, -1, 1, 1}, {1, 1, 1, 0}, {-1, 1, 0, 0}};
} // namespace

bool CrowdBatch::build(const Crowd& crowd, std::string& reason) {
    std::vector<int32_t> sprites;
    for (const CellList& list : crowd.grid)
        for (const std::unique_ptr<Person>& person : list) {
            sprites.insert(sprites.end(), std::begin(person->faceSprites),
                           std::end(person->faceSprites));
            sprites.insert(sprites.end(), std::begin(person->bodySprites),
                           std::end(person->bodySprites));
            sprites.insert(sprites.end(), std::begin(person->mouthSprites),
                           std::end(person->mouthSprites));
            sprites.push_back(person->gunLeftSprite);
            sprites.push_back(person->gunRightSprite);
        }
    for (const FireAnimation& fire : crowd.fires)
        sprites.insert(sprites.end(), std::begin(fire.frameSprites), std::end(fire.frameSprites));
    sprites.push_back(crowd.selectorMarker.sprite);
    std::sort(sprites.begin(), sprites.end());
    sprites.erase(std::unique(sprites.begin(), sprites.end()), sprites.end());
    return atlas.build(sprites, reason);
}

void CrowdBatch::add(const SpriteDraw& sprite, const Matrix4& projection, const Matrix4& view) {
    // Every crowd sprite stands upright: angle 0, whatever the axis.
    assert(sprite.rotation.angle == 0.0f && "the batch draws unturned sprites only");
    // The model-view matrix after glTranslatef and glScalef on the view's.
    Matrix4 modelView = view;
    modelView.translate(sprite.position.x, sprite.position.y, sprite.position.z);
    modelView.scale(sprite.scale.x, sprite.scale.y, sprite.scale.z);
    const Matrix4 m = product(projection, modelView);
    const TextureRect& region = atlas.regions[sprite.sprite];
    // With an alpha test, only the part of the picture that can pass it is drawn: the rest would
    // be sampled and discarded.
    TextureRect part;
    if (sprite.alphaRef > 0.0f) {
        const std::optional<TextureRect>& passing = partPassing(sprite.sprite, sprite.alphaRef);
        if (!passing)
            return; // nothing of it could pass
        part = *passing;
    }
    float corners[4 * floatsPerVertex];
    float* out = corners;
    Box box{viewport[0] + viewport[2], viewport[1] + viewport[3], viewport[0], viewport[1]};
    bool behindTheEye = false;
    for (const Corner& whole : quadCorners) {
        const float s = whole.s == 0.0f ? part.s0 : part.s1;
        const float t = whole.t == 0.0f ? part.t0 : part.t1;
        // The whole square's corners stay exactly -1 and 1.
        const float x = s == 0.0f ? -1.0f : s == 1.0f ? 1.0f : s * 2.0f - 1.0f;
        const float y = t == 0.0f ? 1.0f : t == 1.0f ? -1.0f : 1.0f - t * 2.0f;
        const float corner[4] = {x, y, 0.0f, 1.0f};
        m.transform(corner, out);
        out[4] = region.s0 + (region.s1 - region.s0) * s;
        out[5] = region.t0 + (region.t1 - region.t0) * t;
        behindTheEye = behindTheEye || !(out[3] > 0.0f);
        const float wx = viewport[0] + (out[0] / out[3] + 1.0f) * 0.5f * viewport[2];
        const float wy = viewport[1] + (out[1] / out[3] + 1.0f) * 0.5f * viewport[3];
        box = {std::min(box.left, wx - 1.0f), std::min(box.bottom, wy - 1.0f),
               std::max(box.right, wx + 1.0f), std::max(box.top, wy + 1.0f)};
        out += floatsPerVertex;
    }
    // A quad that reaches behind the eye is clipped: it may touch any pixel.
    if (behindTheEye)
        box = {-1e30f, -1e30f, 1e30f, 1e30f};
    Run& run = runFor(sprite.alphaRef, box);
    run.vertices.insert(run.vertices.end(), corners, corners + 4 * floatsPerVertex);
    run.boxes.push_back(box);
}

CrowdBatch::Run& CrowdBatch::runFor(float alphaRef, const Box& box) {
    const auto touches = [&box](const Box& b) {
        return b.left < box.right && box.left < b.right && b.bottom < box.top && box.bottom < b.top;
    };
    // Back through the runs to the latest one with this alpha test, as long as the sprite touches
    // no pixel of a run it would be drawn ahead of; the last few runs are enough.
    const size_t oldest = runsUsed > runsLookedBack ? runsUsed - runsLookedBack : 0;
    for (size_t i = runsUsed; i > oldest; --i) {
        Run& run = runs[i - 1];
        if (run.alphaRef == alphaRef)
            return run;
        if (std::any_of(run.boxes.begin(), run.boxes.end(), touches))
            break;
    }
    if (runsUsed == runs.size())
        runs.emplace_back();
    Run& run = runs[runsUsed++];
    run.alphaRef = alphaRef;
    run.vertices.clear();
    run.boxes.clear();
    return run;
}

const std::optional<TextureRect>& CrowdBatch::partPassing(int32_t sprite, float alphaRef) {
    const auto key = std::make_pair(sprite, alphaRef);
    const auto known = parts.find(key);
    return known != parts.end()
               ? known->second
               : parts.emplace(key, atlas.partPassing(sprite, alphaRef)).first->second;
}

void CrowdBatch::draw(const Crowd& crowd) {
    runsUsed = 0;
    Matrix4 projection;
    Matrix4 view;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    glGetFloatv(GL_VIEWPORT, viewport);
    SpriteDraw draws[maxPersonSprites];
    for (const CellList& list : crowd.grid)
        for (const std::unique_ptr<Person>& person : list) {
            const int count = person->spriteDraws(draws);
            for (int i = 0; i < count; ++i)
                add(draws[i], projection, view);
        }
    add(crowd.selectorMarker.spriteDraw(), projection, view);

    // The corners arrive transformed: both matrices are the identity while they are drawn.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Every crowd sprite is a blended one.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    // Texturing multiplies each texel by the current colour; by white that is the texel itself,
    // which a replacing environment gives without the multiply, a little faster per pixel.
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    GLint environment = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    if (std::all_of(colour, colour + 4, [](float c) { return c == 1.0f; }))
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const GLsizei stride = floatsPerVertex * sizeof(float);
    for (size_t i = 0; i < runsUsed; ++i) {
        const Run& run = runs[i];
        if (run.alphaRef != 0.0f) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, run.alphaRef);
        } else {
            glDisable(GL_ALPHA_TEST);
        }
        glVertexPointer(4, GL_FLOAT, stride, run.vertices.data());
        glTexCoordPointer(2, GL_FLOAT, stride, run.vertices.data() + 4);
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(run.vertices.size() / floatsPerVertex));
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
