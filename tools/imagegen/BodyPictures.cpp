#include "BodyPictures.h"

#include "Frame.h"
#include "Noise.h"

#include <cmath>

namespace {

// Body pictures are 4 by 18 units at 16 pixels a unit, measured from the top middle; the
// program draws the head centre 1 unit above the top, and the face covers the top 2 units.
const float bodyScale = 16.0f;
const float outlineWidth = 0.07f; // units
const Colour handSkin = rgb(0xc28e66);

Colour outlineOf(const Colour& c) {
    return shade(c, 0.3f);
}

// Cloth round a limb or the trunk: lit from the left, shaded toward both sides, with a
// faint weave.
Paint cloth(const Frame& f, const Colour& base, float centreU, float halfWidth, uint32_t seed) {
    return [=](float x, float y) {
        const float across = (f.u(x) - centreU) / halfWidth;
        const float weave = Noise::value(f.u(x) * 9.0f, f.v(y) * 9.0f, seed) - 0.5f;
        const float light = 1.06f - 0.32f * across * across - 0.1f * across + weave * 0.08f;
        return shade(base, light);
    };
}

void fillOutlined(Raster& r, const Frame& f, const Shape& s, const Paint& p, const Colour& base) {
    r.fill(s.grown(f.pixels(outlineWidth)), outlineOf(base));
    r.fill(s, p);
}

void fillCloth(Raster& r, const Frame& f, const Shape& s, const Colour& base, float centreU,
               float halfWidth, uint32_t seed) {
    fillOutlined(r, f, s, cloth(f, base, centreU, halfWidth, seed), base);
}

// The trunk from the neck down to a hem of the given half width at hemV; 0.55 wide at the
// neck, shoulders at 1.5.
Shape trunk(const Frame& f, float waistV, float waistHalf, float hemV, float hemHalf) {
    return f.polygon({{-0.5f, 1.05f},
                      {-1.3f, 1.35f},
                      {-1.62f, 1.9f},
                      {-1.38f, 3.2f},
                      {-waistHalf, waistV},
                      {-hemHalf, hemV},
                      {hemHalf, hemV},
                      {waistHalf, waistV},
                      {1.38f, 3.2f},
                      {1.62f, 1.9f},
                      {1.3f, 1.35f},
                      {0.5f, 1.05f}});
}

// An arm hanging at the side, from the shoulder to the wrist at endV.
Shape arm(const Frame& f, float side, float endV, float topRadius, float endRadius) {
    return f.capsule({side * 1.5f, 2.25f}, topRadius, {side * 1.58f, endV}, endRadius);
}

// A leg from the hip (topV) to the ankle at 17.2.
Shape leg(const Frame& f, float side, float topV, float topOuter, float bottomOuter) {
    return f.polygon({{side * 0.06f, topV},
                      {side * topOuter, topV},
                      {side * bottomOuter, 17.25f},
                      {side * 0.22f, 17.25f}});
}

Shape shoe(const Frame& f, float side) {
    return f.ellipse(side * 0.62f, 17.6f, 0.5f, 0.4f)
        .unitedWith(f.box(side * 0.14f, 17.55f, side * 1.1f, 18.0f, 0.08f))
        .intersectedWith(f.box(-2.0f, 17.0f, 2.0f, 17.98f));
}

void paintShoes(Raster& r, const Frame& f, const Colour& leather) {
    for (const float side : {-1.0f, 1.0f}) {
        fillOutlined(r, f, shoe(f, side), cloth(f, leather, side * 0.62f, 0.5f, 5), leather);
        r.fill(f.ellipse(side * 0.5f, 17.45f, 0.18f, 0.07f), rgb(0xffffff, 0.3f));
    }
}

void paintHands(Raster& r, const Frame& f, float v, const Colour& skin) {
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f, f.ellipse(side * 1.56f, v, 0.3f, 0.42f),
                     cloth(f, skin, side * 1.56f, 0.32f, 9), skin);
}

void paintButtons(Raster& r, const Frame& f, float u, float fromV, float toV, int count,
                  const Colour& c, float radius) {
    for (int i = 0; i < count; ++i) {
        const float v = fromV + (toV - fromV) * static_cast<float>(i) /
                                    static_cast<float>(std::max(1, count - 1));
        r.fill(f.circle(u, v, radius + 0.04f), outlineOf(c));
        r.fill(f.circle(u, v, radius),
               radialGradient(f.at(u - 0.04f, 0.0f).x, f.at(0.0f, v - 0.04f).y,
                              f.pixels(radius * 1.4f), shade(c, 1.3f), shade(c, 0.8f)));
    }
}

// Hard alpha and a darker rim, as the program draws bodies with an alpha test at 0.95; the
// clothes are toned down a little to sit in the dim hall.
Raster finished(Raster r) {
    r.hardenAlpha();
    r.shadeRim(3.0f, 0.3f);
    r.fillAll(solid(rgb(0x000000, 0.08f)), Blend::Atop);
    r.bleedColour(3);
    return r;
}

// A dark suit over a white shirt with a red tie.
Raster paintSuit() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour suit = rgb(0x2e3344);
    const Colour trousers = shade(suit, 0.9f);
    for (const float side : {-1.0f, 1.0f})
        fillCloth(r, f, leg(f, side, 9.0f, 1.18f, 0.88f), trousers, side * 0.62f, 0.6f, 1);
    paintShoes(r, f, rgb(0x1a1614));
    fillCloth(r, f, trunk(f, 6.8f, 1.15f, 10.2f, 1.35f), suit, 0.0f, 1.5f, 2);
    // Shirt and tie in the opening of the jacket, lapels folded over them.
    r.fill(f.polygon({{-0.5f, 1.05f}, {0.5f, 1.05f}, {0.05f, 4.8f}, {-0.05f, 4.8f}}),
           rgb(0xeae6dc));
    fillOutlined(
        r, f,
        f.polygon({{-0.14f, 1.35f}, {0.14f, 1.35f}, {0.2f, 3.6f}, {0.0f, 4.0f}, {-0.2f, 3.6f}}),
        verticalGradient(f.at(0.0f, 1.3f).y, rgb(0xc02830), f.at(0.0f, 4.0f).y, rgb(0x801820)),
        rgb(0x801820));
    fillOutlined(r, f, f.box(-0.16f, 1.08f, 0.16f, 1.38f, 0.05f), solid(rgb(0xb02028)),
                 rgb(0xb02028));
    for (const float side : {-1.0f, 1.0f}) {
        const Shape lapel = f.polygon({{side * 0.5f, 1.05f},
                                       {side * 0.75f, 1.2f},
                                       {side * 0.85f, 2.4f},
                                       {side * 0.6f, 2.6f},
                                       {side * 0.06f, 4.8f},
                                       {side * 0.16f, 3.0f}});
        fillOutlined(r, f, lapel, solid(shade(suit, 1.25f)), suit);
    }
    r.fill(f.polygon({{0.62f, 2.9f}, {1.05f, 2.85f}, {1.0f, 3.05f}, {0.66f, 3.1f}}), rgb(0xf4f0e8));
    r.fill(f.box(-0.03f, 4.8f, 0.03f, 10.2f), outlineOf(suit));
    paintButtons(r, f, 0.18f, 5.6f, 7.2f, 2, rgb(0x1a1a20), 0.1f);
    for (const float side : {-1.0f, 1.0f}) {
        fillCloth(r, f, arm(f, side, 9.1f, 0.42f, 0.32f), suit, side * 1.52f, 0.42f, 3);
        r.fill(f.box(side * 1.25f, 8.95f, side * 1.9f, 9.2f), rgb(0xeae6dc));
    }
    paintHands(r, f, 9.6f, handSkin);
    return finished(std::move(r));
}

// A red dress with a flared skirt, long black gloves, dark stockings and red shoes.
Raster paintRedDress() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour dress = rgb(0xb82630);
    for (const float side : {-1.0f, 1.0f})
        fillCloth(r, f, leg(f, side, 13.0f, 0.75f, 0.62f), rgb(0x2a2024), side * 0.42f, 0.4f, 11);
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f,
                     f.ellipse(side * 0.5f, 17.62f, 0.36f, 0.34f)
                         .unitedWith(f.box(side * 0.2f, 17.2f, side * 0.8f, 17.5f))
                         .intersectedWith(f.box(-2.0f, 16.0f, 2.0f, 17.98f)),
                     cloth(f, rgb(0xc02030), side * 0.5f, 0.4f, 12), rgb(0xc02030));
    // The skirt flares from the waist to mid-calf; soft folds run down it.
    const Shape skirt = f.polygon({{-1.05f, 6.6f},
                                   {-1.55f, 10.0f},
                                   {-1.95f, 14.6f},
                                   {-1.0f, 14.9f},
                                   {0.0f, 14.7f},
                                   {1.0f, 14.9f},
                                   {1.95f, 14.6f},
                                   {1.55f, 10.0f},
                                   {1.05f, 6.6f}});
    const Paint folds = [f, dress](float x, float y) {
        const float u = f.u(x);
        const float v = f.v(y);
        const float spread = (v - 6.6f) / 8.0f;
        const float fold = std::cos(u * 6.5f / (0.6f + spread)) * clamp01(spread * 1.5f);
        return shade(dress, 0.92f + 0.16f * fold - 0.08f * u);
    };
    fillOutlined(r, f, skirt, folds, dress);
    fillCloth(r, f, trunk(f, 6.0f, 1.0f, 6.8f, 1.05f), dress, 0.0f, 1.4f, 13);
    // A white lace collar at the neck and a black sash at the waist with a bow.
    fillOutlined(r, f, f.ellipse(0.0f, 1.25f, 0.72f, 0.32f), solid(rgb(0xf0ece4)), rgb(0xb0a8a0));
    fillOutlined(r, f, f.box(-1.08f, 6.1f, 1.08f, 6.75f, 0.1f), solid(rgb(0x1c1416)),
                 rgb(0x1c1416));
    fillOutlined(r, f, f.mirroredPolygon({{0.0f, 6.42f}, {0.5f, 6.05f}, {0.5f, 6.8f}}),
                 solid(rgb(0x2a2024)), rgb(0x1c1416));
    for (const float side : {-1.0f, 1.0f}) {
        fillCloth(r, f, arm(f, side, 9.3f, 0.36f, 0.27f), rgb(0x1e1a1e), side * 1.52f, 0.36f, 14);
        fillCloth(r, f, f.ellipse(side * 1.42f, 2.1f, 0.46f, 0.36f), dress, side * 1.45f, 0.5f, 15);
    }
    paintHands(r, f, 9.75f, rgb(0x242024));
    return finished(std::move(r));
}

// A green knee-length coat with brass buttons and a belt, brown trousers and boots.
Raster paintGreenCoat() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour coat = rgb(0x2f6a40);
    for (const float side : {-1.0f, 1.0f})
        fillCloth(r, f, leg(f, side, 13.0f, 1.0f, 0.85f), rgb(0x6a4a30), side * 0.55f, 0.5f, 21);
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f,
                     f.box(side * 0.2f, 15.9f, side * 0.98f, 17.4f, 0.1f).unitedWith(shoe(f, side)),
                     cloth(f, rgb(0x3a2418), side * 0.6f, 0.5f, 22), rgb(0x3a2418));
    const Shape body = trunk(f, 7.0f, 1.2f, 14.0f, 1.6f);
    fillCloth(r, f, body, coat, 0.0f, 1.6f, 23);
    r.fill(f.polygon({{-0.04f, 2.6f}, {0.04f, 2.6f}, {0.04f, 14.0f}, {-0.04f, 14.0f}}),
           outlineOf(coat));
    // High collar turned up round the neck.
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f,
                     f.polygon({{side * 0.1f, 1.0f},
                                {side * 0.72f, 0.85f},
                                {side * 1.0f, 1.6f},
                                {side * 0.55f, 2.7f},
                                {side * 0.04f, 2.6f}}),
                     solid(shade(coat, 1.2f)), coat);
    fillOutlined(r, f, f.box(-1.22f, 6.75f, 1.22f, 7.3f, 0.05f), solid(rgb(0x4a2c1a)),
                 rgb(0x4a2c1a));
    fillOutlined(r, f, f.box(-0.22f, 6.68f, 0.22f, 7.38f, 0.05f), solid(rgb(0xd8b048)),
                 rgb(0xd8b048));
    for (const float side : {-1.0f, 1.0f}) {
        paintButtons(r, f, side * 0.45f, 3.3f, 5.9f, 3, rgb(0xd8b048), 0.1f);
        paintButtons(r, f, side * 0.45f, 8.3f, 9.4f, 2, rgb(0xd8b048), 0.1f);
        r.fill(f.box(side * 0.55f, 10.4f, side * 1.25f, 10.55f), outlineOf(coat));
    }
    for (const float side : {-1.0f, 1.0f}) {
        fillCloth(r, f, arm(f, side, 9.1f, 0.44f, 0.34f), coat, side * 1.52f, 0.44f, 24);
        r.fill(f.box(side * 1.22f, 8.4f, side * 1.95f, 8.75f), shade(coat, 0.7f));
    }
    paintHands(r, f, 9.65f, rgb(0x5a3a22));
    return finished(std::move(r));
}

// A navy and white striped shirt, blue trousers with a belt, white shoes.
Raster paintStripedShirt() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour jeans = rgb(0x3a5a92);
    for (const float side : {-1.0f, 1.0f})
        fillCloth(r, f, leg(f, side, 8.6f, 1.2f, 0.88f), jeans, side * 0.62f, 0.6f, 31);
    r.fill(f.box(-0.03f, 8.8f, 0.03f, 10.0f), outlineOf(jeans));
    paintShoes(r, f, rgb(0xe8e4dc));
    const Paint stripes = [f](float x, float y) {
        const float v = f.v(y);
        const bool dark = std::fmod(v + 10.0f, 0.7f) < 0.32f;
        const float across = f.u(x) / 1.5f;
        const float light = 1.05f - 0.3f * across * across - 0.1f * across;
        return shade(dark ? rgb(0x23305a) : rgb(0xeeeae0), light);
    };
    fillOutlined(r, f, trunk(f, 6.8f, 1.18f, 8.9f, 1.25f), stripes, rgb(0x23305a));
    r.fill(f.ellipse(0.0f, 1.1f, 0.55f, 0.22f), rgb(0x23305a));
    fillOutlined(r, f, f.box(-1.25f, 8.5f, 1.25f, 8.95f, 0.05f), solid(rgb(0x5a3a20)),
                 rgb(0x5a3a20));
    fillOutlined(r, f, f.box(-0.2f, 8.45f, 0.2f, 9.0f, 0.04f), solid(rgb(0xc8c8c0)), rgb(0x808080));
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f, arm(f, side, 9.0f, 0.4f, 0.3f), stripes, rgb(0x23305a));
    paintHands(r, f, 9.5f, handSkin);
    return finished(std::move(r));
}

// Blue bib overalls over a mustard shirt, with tan work gloves and boots.
Raster paintOveralls() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour denim = rgb(0x4a6cae);
    const Colour shirt = rgb(0xd89a30);
    for (const float side : {-1.0f, 1.0f})
        fillCloth(r, f, leg(f, side, 8.5f, 1.25f, 0.98f), denim, side * 0.65f, 0.6f, 41);
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f, f.box(side * 0.2f, 16.3f, side * 1.05f, 16.7f, 0.05f),
                     solid(shade(denim, 1.2f)), denim);
    paintShoes(r, f, rgb(0x5a3a1e));
    fillCloth(r, f, trunk(f, 7.0f, 1.2f, 9.0f, 1.28f), shirt, 0.0f, 1.5f, 42);
    r.fill(f.polygon({{-0.5f, 1.05f}, {0.0f, 1.7f}, {0.5f, 1.05f}}), shade(shirt, 0.75f));
    // The bib and the trouser top in one piece, straps over the shoulders.
    const Shape bib = f.polygon({{-0.85f, 3.4f},
                                 {0.85f, 3.4f},
                                 {0.95f, 6.8f},
                                 {1.28f, 7.4f},
                                 {1.3f, 9.0f},
                                 {-1.3f, 9.0f},
                                 {-1.28f, 7.4f},
                                 {-0.95f, 6.8f}});
    fillCloth(r, f, bib, denim, 0.0f, 1.4f, 43);
    fillOutlined(r, f, f.box(-0.5f, 4.2f, 0.5f, 5.3f, 0.08f), solid(shade(denim, 1.15f)), denim);
    for (const float side : {-1.0f, 1.0f}) {
        fillOutlined(r, f,
                     f.polygon({{side * 0.6f, 3.5f},
                                {side * 0.85f, 3.5f},
                                {side * 1.25f, 1.5f},
                                {side * 1.0f, 1.35f}}),
                     solid(shade(denim, 0.95f)), denim);
        paintButtons(r, f, side * 0.72f, 3.6f, 3.6f, 1, rgb(0xe0b850), 0.12f);
    }
    for (const float side : {-1.0f, 1.0f}) {
        fillCloth(r, f, arm(f, side, 9.0f, 0.42f, 0.32f), shirt, side * 1.52f, 0.42f, 44);
        r.fill(f.box(side * 1.22f, 5.2f, side * 1.95f, 5.35f), shade(shirt, 0.7f));
    }
    paintHands(r, f, 9.55f, rgb(0xc8a070));
    return finished(std::move(r));
}

// A floor-length purple robe with wide sleeves, gold trim and a gold sash.
Raster paintRobe() {
    Raster r(64, 288);
    const Frame f(32.0f, 0.0f, bodyScale);
    const Colour robe = rgb(0x5e2c82);
    const Colour gold = rgb(0xd8b040);
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f, f.ellipse(side * 0.55f, 17.7f, 0.42f, 0.28f), solid(rgb(0x2a1a12)),
                     rgb(0x2a1a12));
    const Shape gown = trunk(f, 6.5f, 1.15f, 17.6f, 1.85f);
    const Paint folds = [f, robe](float x, float y) {
        const float u = f.u(x);
        const float v = f.v(y);
        const float fold = std::cos(u * 5.5f + std::sin(v * 0.4f)) * clamp01((v - 6.0f) / 4.0f);
        return shade(robe, 0.95f + 0.15f * fold - 0.1f * u - 0.2f * (u / 1.9f) * (u / 1.9f));
    };
    fillOutlined(r, f, gown, folds, robe);
    r.fill(f.box(-0.16f, 1.1f, 0.16f, 17.6f), gold);
    r.fill(f.box(-0.06f, 1.1f, 0.06f, 17.6f), shade(gold, 0.7f));
    r.fill(f.box(-1.85f, 17.25f, 1.85f, 17.6f).intersectedWith(gown), gold);
    fillOutlined(r, f, f.ellipse(0.0f, 1.2f, 0.7f, 0.3f), solid(gold), gold);
    fillOutlined(r, f, f.box(-1.15f, 6.3f, 1.15f, 6.8f, 0.1f), solid(gold), gold);
    fillOutlined(r, f, f.polygon({{0.3f, 6.6f}, {0.55f, 6.6f}, {0.7f, 9.5f}, {0.4f, 9.6f}}),
                 solid(gold), gold);
    // Bell sleeves widening to the hands, which they hide.
    for (const float side : {-1.0f, 1.0f}) {
        const Shape sleeve = f.polygon({{side * 1.15f, 1.7f},
                                        {side * 1.75f, 2.0f},
                                        {side * 1.98f, 9.8f},
                                        {side * 1.0f, 10.0f},
                                        {side * 1.15f, 4.0f}});
        fillCloth(r, f, sleeve, robe, side * 1.5f, 0.6f, 51);
        r.fill(f.polygon({{side * 1.98f, 9.45f},
                          {side * 1.0f, 9.65f},
                          {side * 1.0f, 10.0f},
                          {side * 1.98f, 9.8f}}),
               gold);
    }
    return finished(std::move(r));
}

} // namespace

Raster paintBody(int kind) {
    switch (kind) {
    case 0:
        return paintSuit();
    case 1:
        return paintRedDress();
    case 2:
        return paintGreenCoat();
    case 3:
        return paintStripedShirt();
    case 4:
        return paintOveralls();
    default:
        return paintRobe();
    }
}

Raster paintGunHand(bool pointsRight) {
    Raster r(128, 48);
    // Units from the middle of the left edge, where the arm leaves the body.
    const Frame f(0.0f, 24.0f, 16.0f);
    const Colour sleeve = rgb(0x3a3c46);
    const Colour steel = rgb(0x3c4048);
    const Colour grip = rgb(0x6a3c20);

    // The arm lies across the picture, so its cloth is lit from above.
    fillOutlined(r, f, f.capsule({-0.6f, 0.3f}, 0.62f, {3.35f, 0.2f}, 0.5f),
                 verticalGradient(f.at(0.0f, -0.4f).y, shade(sleeve, 1.35f), f.at(0.0f, 0.85f).y,
                                  shade(sleeve, 0.6f)),
                 sleeve);
    r.fill(f.arc({1.2f, -0.05f}, {1.6f, 0.3f}, {2.0f, 0.6f}, 0.03f), outlineOf(sleeve));
    fillOutlined(r, f, f.box(3.15f, -0.32f, 3.6f, 0.72f, 0.1f), solid(rgb(0xe8e4da)),
                 rgb(0xe8e4da));
    fillOutlined(r, f, f.box(3.5f, -0.18f, 4.0f, 0.58f, 0.15f), cloth(f, handSkin, 3.75f, 0.3f, 62),
                 handSkin);

    // The pistol: grip in the fist, frame and barrel pointing away from the body.
    fillOutlined(r, f, f.polygon({{4.05f, -0.3f}, {4.78f, -0.3f}, {4.62f, 1.05f}, {3.98f, 0.95f}}),
                 solid(grip), grip);
    const Shape guard = f.ellipse(5.12f, -0.08f, 0.36f, 0.32f)
                            .without(f.ellipse(5.12f, -0.08f, 0.22f, 0.2f))
                            .intersectedWith(f.box(4.6f, -0.3f, 5.6f, 0.3f));
    r.fill(guard.grown(f.pixels(0.04f)), outlineOf(steel));
    r.fill(guard, steel);
    const Shape body = f.polygon({{3.9f, -0.95f},
                                  {7.75f, -0.95f},
                                  {7.75f, -0.38f},
                                  {5.5f, -0.38f},
                                  {5.3f, -0.28f},
                                  {3.95f, -0.28f}});
    fillOutlined(
        r, f, body,
        verticalGradient(f.at(0.0f, -1.0f).y, rgb(0x8a909a), f.at(0.0f, -0.3f).y, rgb(0x24262c)),
        steel);
    r.fill(f.box(4.0f, -0.9f, 7.7f, -0.8f), rgb(0xc8ccd4, 0.7f));
    r.fill(f.box(7.45f, -1.12f, 7.62f, -0.92f), steel);
    r.fill(f.box(3.88f, -1.08f, 4.12f, -0.9f, 0.05f), steel);
    r.fill(f.box(7.62f, -0.78f, 7.78f, -0.55f), rgb(0x0a0a0c));
    for (int i = 0; i < 4; ++i)
        r.fill(f.box(4.2f + 0.14f * static_cast<float>(i), -0.85f,
                     4.26f + 0.14f * static_cast<float>(i), -0.45f),
               rgb(0x1a1c20));
    // The fist round the grip, the thumb along the frame and a finger on the trigger.
    const Paint skin = cloth(f, handSkin, 4.4f, 0.6f, 63);
    fillOutlined(r, f, f.ellipse(4.38f, 0.12f, 0.56f, 0.5f), skin, handSkin);
    fillOutlined(r, f, f.capsule({4.1f, -0.3f}, 0.16f, {4.95f, -0.42f}, 0.13f), skin, handSkin);
    fillOutlined(r, f, f.capsule({4.7f, 0.02f}, 0.12f, {5.1f, -0.05f}, 0.1f), skin, handSkin);
    for (int i = 0; i < 3; ++i)
        r.fill(f.arc({4.25f + 0.14f * static_cast<float>(i), 0.2f},
                     {4.32f + 0.14f * static_cast<float>(i), 0.42f},
                     {4.28f + 0.14f * static_cast<float>(i), 0.6f}, 0.025f),
               outlineOf(handSkin));

    r.hardenAlpha();
    r.shadeRim(2.0f, 0.25f);
    r.bleedColour(3);
    if (!pointsRight)
        r.flipHorizontal();
    return r;
}
