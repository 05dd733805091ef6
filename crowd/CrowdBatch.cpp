#include "crowd/CrowdBatch.h"

#include "crowd/Crowd.h"

#include <GL/gl.h>
#include <algorithm>
#include <cassert>

namespace {
constexpr int floatsPerVertex = 6; // clip x, y, z, w, then u, v

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

namespace {
// Column-major product a times b, each entry summed left to right in single precision.
void multiply(const float* a, const float* b, float* product) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            float sum = a[row] * b[column * 4];
            sum = sum + a[4 + row] * b[column * 4 + 1];
            sum = sum + a[8 + row] * b[column * 4 + 2];
            sum = sum + a[12 + row] * b[column * 4 + 3];
            product[column * 4 + row] = sum;
        }
}
} // namespace

void CrowdBatch::add(const SpriteDraw& sprite, const float* projection, const float* view) {
    // Every crowd sprite stands upright: angle 0, whatever the axis.
    assert(sprite.rotation.angle == 0.0f && "the batch draws unturned sprites only");
    if (runs.empty() || runs.back().alphaRef != sprite.alphaRef)
        runs.push_back(
            {static_cast<int32_t>(vertices.size() / floatsPerVertex), 0, sprite.alphaRef});
    // The model-view matrix after glTranslatef and glScalef on the view's.
    float modelView[16];
    std::copy(view, view + 16, modelView);
    const Vec3 p = sprite.position;
    for (int row = 0; row < 4; ++row)
        modelView[12 + row] =
            ((view[row] * p.x + view[4 + row] * p.y) + view[8 + row] * p.z) + view[12 + row];
    for (int row = 0; row < 4; ++row) {
        modelView[row] = modelView[row] * sprite.scale.x;
        modelView[4 + row] = modelView[4 + row] * sprite.scale.y;
        modelView[8 + row] = modelView[8 + row] * sprite.scale.z;
    }
    float m[16];
    multiply(projection, modelView, m);
    const AtlasRegion& region = atlas.regions[sprite.sprite];
    // With an alpha test, only the part of the picture that can pass it is drawn: the rest would
    // be sampled and discarded.
    const bool trimmed = sprite.alphaRef > 0.0f;
    const PicturePart part = trimmed ? partPassing(sprite.sprite, sprite.alphaRef) : PicturePart{};
    for (const Corner& whole : quadCorners) {
        Corner corner = whole;
        if (trimmed) {
            corner.s = whole.s == 0.0f ? part.s0 : part.s1;
            corner.t = whole.t == 0.0f ? part.t0 : part.t1;
            corner.x = corner.s * 2.0f - 1.0f;
            corner.y = 1.0f - corner.t * 2.0f;
        }
        // The corner (x, y, 0, 1) through the matrix, its terms added in this order.
        for (int row = 0; row < 4; ++row) {
            float sum = corner.x * m[row];
            sum = corner.y * m[4 + row] + sum;
            sum = 0.0f * m[8 + row] + sum;
            sum = 1.0f * m[12 + row] + sum;
            vertices.push_back(sum);
        }
        vertices.push_back(region.u0 + (region.u1 - region.u0) * corner.s);
        vertices.push_back(region.v0 + (region.v1 - region.v0) * corner.t);
    }
    runs.back().count += 4;
}

PicturePart CrowdBatch::partPassing(int32_t sprite, float alphaRef) {
    const auto key = std::make_pair(sprite, alphaRef);
    const auto known = parts.find(key);
    if (known != parts.end())
        return known->second;
    return parts[key] = atlas.partPassing(sprite, alphaRef);
}

void CrowdBatch::draw(const Crowd& crowd) {
    vertices.clear();
    runs.clear();
    float projection[16];
    float view[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
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
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const GLsizei stride = floatsPerVertex * sizeof(float);
    glVertexPointer(4, GL_FLOAT, stride, vertices.data());
    glTexCoordPointer(2, GL_FLOAT, stride, vertices.data() + 4);
    for (const Run& run : runs) {
        if (run.alphaRef != 0.0f) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, run.alphaRef);
        } else {
            glDisable(GL_ALPHA_TEST);
        }
        glDrawArrays(GL_QUADS, run.first, run.count);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
