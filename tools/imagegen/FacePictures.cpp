#include "FacePictures.h"

#include "Frame.h"
#include "HeadParts.h"
#include "Noise.h"
#include "PaintRandom.h"

#include <cmath>

namespace {

// A young man with short brown hair parted at the side; the variant wears glasses and parts
// it the other way.
Raster paintYoungMan(int variant) {
    Raster r(128, 128);
    const Frame f(64.0f, 64.0f, 128.0f / 6.0f);
    HeadLook h;
    h.skin = rgb(0xeec39a);
    h.centreV = 0.0f;
    h.radiusU = 1.42f;
    h.radiusV = 1.75f;
    h.eyeV = -0.02f;
    h.iris = rgb(0x4a6a8a);
    h.brow = rgb(0x4a2e1a);
    h.browV = -0.42f;
    h.noseV = 0.5f;
    h.mouthV = 1.0f;
    h.neckBottomV = 2.62f;
    h.neckHalfWidth = 0.62f;
    const Colour hair = rgb(0x6a4226);
    const float side = variant == 0 ? 1.0f : -1.0f;
    const Paint hairShade = hairPaint(f, hair, -1.4f, 11);

    paintNeck(r, f, h);
    fillOutlined(
        r, f,
        f.ellipse(0.0f, -0.55f, 1.58f, 1.42f).intersectedWith(f.box(-3.0f, -3.0f, 3.0f, 0.15f)),
        hairShade, outlineOf(hair));
    paintEars(r, f, h);
    paintFaceOval(r, f, h);
    paintBrows(r, f, h, 0.06f);
    paintFeatures(r, f, h);
    // The fringe sweeps away from the parting across the forehead.
    const Shape crown =
        f.ellipse(0.0f, -0.62f, 1.5f, 1.28f).intersectedWith(f.box(-3.0f, -3.0f, 3.0f, -0.92f));
    const Shape sweep = f.polygon({{side * -0.45f, -1.7f},
                                   {side * -0.42f, -0.98f},
                                   {side * 0.2f, -0.86f},
                                   {side * 0.95f, -0.68f},
                                   {side * 1.45f, -0.3f},
                                   {side * 1.55f, -1.2f}});
    const Shape temples = f.box(-1.52f, -1.0f, -1.26f, -0.05f, 0.1f)
                              .unitedWith(f.box(1.26f, -1.0f, 1.52f, -0.05f, 0.1f));
    fillOutlined(r, f, crown.unitedWith(sweep).unitedWith(temples), hairShade, outlineOf(hair));
    r.fill(f.arc({side * -0.42f, -1.6f}, {side * -0.45f, -1.25f}, {side * -0.38f, -1.0f}, 0.03f),
           shade(hair, 0.45f));
    if (variant == 1)
        paintGlasses(r, f, h, rgb(0x1e1a18), 0.34f);
    return finishedHead(std::move(r));
}

// A tall woman with a high bun and long dark hair over her shoulders; the variant has her
// eyes closed and a flower in her hair.
Raster paintWomanWithBun(int variant) {
    Raster r(96, 128);
    const Frame f(48.0f, 64.0f, 16.0f);
    HeadLook h;
    h.skin = rgb(0xc98b5f);
    h.centreV = 1.0f;
    h.radiusU = 1.3f;
    h.radiusV = 1.72f;
    h.eyeV = 0.95f;
    h.eyeSpacing = 0.5f;
    h.iris = rgb(0x3a2414);
    h.eyesClosed = variant == 1;
    h.brow = rgb(0x1e120c);
    h.browV = 0.55f;
    h.noseV = 1.5f;
    h.mouthV = 2.0f;
    h.neckBottomV = 3.45f;
    h.neckHalfWidth = 0.55f;
    h.ears = false;
    const Colour hair = rgb(0x2e1a12);
    const Paint hairShade = hairPaint(f, hair, -2.4f, 21);

    // Long hair behind the head, falling over the shoulders to wavy ends.
    std::vector<Point> back = {{-1.55f, -0.1f}, {-2.05f, 1.2f}, {-2.2f, 2.6f},  {-2.1f, 3.7f},
                               {-1.7f, 3.9f},   {-1.35f, 3.7f}, {-1.0f, 3.85f}, {-0.9f, 2.6f},
                               {0.9f, 2.6f},    {1.0f, 3.85f},  {1.35f, 3.7f},  {1.7f, 3.9f},
                               {2.1f, 3.7f},    {2.2f, 2.6f},   {2.05f, 1.2f},  {1.55f, -0.1f}};
    fillOutlined(r, f, f.polygon(back).unitedWith(f.ellipse(0.0f, 0.5f, 1.62f, 1.45f)), hairShade,
                 outlineOf(hair));
    paintNeck(r, f, h);
    // A string of small gold beads where the neck meets the dress.
    for (int i = -4; i <= 4; ++i) {
        const float t = static_cast<float>(i) / 4.0f;
        fillOutlined(r, f, f.circle(t * 0.5f, 3.1f + (1.0f - t * t) * 0.2f, 0.085f), rgb(0xe0b040));
    }
    paintFaceOval(r, f, h);
    paintBrows(r, f, h, 0.055f);
    paintFeatures(r, f, h);
    // Hair parted in the middle and drawn back, then the bun on top.
    const Shape front = f.ellipse(-0.72f, 0.05f, 0.95f, 0.72f)
                            .unitedWith(f.ellipse(0.72f, 0.05f, 0.95f, 0.72f))
                            .intersectedWith(f.box(-3.0f, -2.0f, 3.0f, 0.42f))
                            .unitedWith(f.box(-1.42f, 0.0f, -1.12f, 1.6f, 0.12f))
                            .unitedWith(f.box(1.12f, 0.0f, 1.42f, 1.6f, 0.12f));
    fillOutlined(r, f, f.ellipse(0.0f, -2.05f, 1.15f, 1.12f), hairShade, outlineOf(hair));
    fillOutlined(r, f, f.box(-0.75f, -1.1f, 0.75f, -0.75f, 0.15f), rgb(0xb02838));
    fillOutlined(r, f, front, hairShade, outlineOf(hair));
    r.fill(f.arc({0.0f, -0.62f}, {0.02f, -0.3f}, {0.0f, -0.05f}, 0.03f), shade(hair, 0.4f));
    for (const float side : {-1.0f, 1.0f})
        fillOutlined(r, f, f.circle(side * 1.28f, 1.95f, 0.11f), rgb(0xe8c048));
    if (variant == 1) {
        for (int petal = 0; petal < 5; ++petal) {
            const float a = static_cast<float>(petal) * 1.2566f;
            fillOutlined(r, f,
                         f.circle(1.15f + std::cos(a) * 0.22f, -0.55f + std::sin(a) * 0.22f, 0.17f),
                         rgb(0xf07890));
        }
        fillOutlined(r, f, f.circle(1.15f, -0.55f, 0.1f), rgb(0xf8d040));
    }
    return finishedHead(std::move(r));
}

// A short old man with a bald crown, white side hair and a long white beard over his chest;
// the variant wears small round spectacles.
Raster paintOldMan(int variant) {
    Raster r(96, 128);
    const Frame f(48.0f, 64.0f, 16.0f);
    HeadLook h;
    h.skin = rgb(0xe3a888);
    h.centreV = -0.45f;
    h.radiusU = 1.35f;
    h.radiusV = 1.62f;
    h.eyeV = -0.45f;
    h.eyeSpacing = 0.5f;
    h.iris = rgb(0x5a7080);
    h.brow = rgb(0xe8e4dc);
    h.browV = -0.85f;
    h.noseV = 0.08f;
    h.mouthV = 0.5f;
    h.neckBottomV = 1.0f;
    const Colour white = rgb(0xe6e2da);
    const Paint beardShade = [f, white](float x, float y) {
        const float u = f.u(x);
        const float v = f.v(y);
        const float strands = Noise::value(u * 10.0f + std::sin(v * 3.0f) * 0.6f, v * 1.5f, 31);
        return shade(white, 0.7f + 0.32f * strands - clamp01(v - 2.0f) * 0.12f);
    };

    paintEars(r, f, h);
    paintFaceOval(r, f, h);
    r.fill(f.ellipse(-0.35f, -1.6f, 0.45f, 0.22f), rgb(0xffffff, 0.25f));
    // Side hair above the ears, joined to the beard below them.
    const Shape tufts =
        f.ellipse(-1.4f, -0.75f, 0.42f, 0.62f).unitedWith(f.ellipse(1.4f, -0.75f, 0.42f, 0.62f));
    std::vector<Point> beard = {{-1.4f, -0.55f}, {-1.85f, 0.6f}, {-1.75f, 1.8f},  {-1.2f, 2.9f},
                                {-0.4f, 3.75f},  {0.0f, 3.9f},   {0.4f, 3.75f},   {1.2f, 2.9f},
                                {1.75f, 1.8f},   {1.85f, 0.6f},  {1.4f, -0.55f},  {1.0f, 0.2f},
                                {0.55f, 0.25f},  {0.0f, 0.85f},  {-0.55f, 0.25f}, {-1.0f, 0.2f}};
    fillOutlined(r, f, f.polygon(beard).unitedWith(tufts), beardShade,
                 outlineOf(shade(white, 0.6f)));
    paintBrows(r, f, h, 0.09f);
    paintEyes(r, f, h);
    paintCheeks(r, f, h, 0.35f);
    // A round, ruddy nose over a drooping moustache; the mouth shows as a dark gap beneath.
    r.fill(f.ellipse(0.0f, h.mouthV + 0.02f, 0.32f, 0.1f), rgb(0x4a2a24));
    fillOutlined(r, f, f.ellipse(0.0f, h.noseV - 0.05f, 0.3f, 0.27f),
                 radialGradient(f.at(-0.1f, 0.0f).x, f.at(0.0f, -0.1f).y, f.pixels(0.35f),
                                rgb(0xf0a890), rgb(0xc87060)),
                 outlineOf(h.skin));
    const Shape moustache = f.polygon({{0.0f, 0.2f},
                                       {-0.45f, 0.18f},
                                       {-0.8f, 0.38f},
                                       {-0.9f, 0.62f},
                                       {-0.55f, 0.45f},
                                       {0.0f, 0.38f},
                                       {0.55f, 0.45f},
                                       {0.9f, 0.62f},
                                       {0.8f, 0.38f},
                                       {0.45f, 0.18f}});
    fillOutlined(r, f, moustache, beardShade, outlineOf(shade(white, 0.6f)));
    if (variant == 1)
        paintGlasses(r, f, h, rgb(0xb08830), 0.25f);
    return finishedHead(std::move(r));
}

// A man with a round mass of black curls; the variant ties a yellow band round them and
// closes his eyes.
Raster paintCurlyMan(int variant) {
    Raster r(128, 128);
    const Frame f(64.0f, 64.0f, 128.0f / 6.0f);
    HeadLook h;
    h.skin = rgb(0x7b4a2d);
    h.centreV = 1.0f;
    h.radiusU = 1.4f;
    h.radiusV = 1.6f;
    h.eyeV = 0.95f;
    h.iris = rgb(0x2a1608);
    h.eyesClosed = variant == 1;
    h.brow = rgb(0x140c08);
    h.browV = 0.56f;
    h.noseV = 1.5f;
    h.mouthV = 2.0f;
    h.neckBottomV = 2.95f;
    h.neckHalfWidth = 0.62f;
    const Colour hair = rgb(0x3a2618);
    const Paint curls = curlPaint(f, hair, 41);

    paintNeck(r, f, h);
    fillOutlined(
        r, f, f.ellipse(0.0f, -0.45f, 2.3f, 2.3f).intersectedWith(f.box(-3.0f, -3.0f, 3.0f, 1.3f)),
        curls, rgb(0x080604));
    paintEars(r, f, h);
    paintFaceOval(r, f, h);
    // The hairline curves low over the temples.
    const Shape hairline = f.ellipse(0.0f, -0.2f, 1.55f, 0.95f)
                               .unitedWith(f.box(-1.6f, -0.3f, -1.15f, 0.75f, 0.2f))
                               .unitedWith(f.box(1.15f, -0.3f, 1.6f, 0.75f, 0.2f));
    r.fill(hairline, curls);
    paintBrows(r, f, h, 0.07f);
    paintEyes(r, f, h);
    paintNose(r, f, h, 0.24f);
    paintCheeks(r, f, h, 0.15f);
    paintMouthLine(r, f, h);
    if (variant == 1) {
        const Shape band = f.ellipse(0.0f, -0.45f, 2.32f, 2.32f)
                               .intersectedWith(f.box(-3.0f, -0.05f, 3.0f, 0.35f))
                               .unitedWith(f.box(-1.7f, -0.05f, 1.7f, 0.35f));
        fillOutlined(r, f, band, horizontalGradient(0.0f, rgb(0xf8c838), 128.0f, rgb(0xd89818)),
                     rgb(0x604008));
    }
    return finishedHead(std::move(r));
}

// A man in a black top hat with a curled moustache; the variant's hat is grey with a blue
// band and his face clean-shaven.
Raster paintTopHatMan(int variant) {
    Raster r(128, 128);
    const Frame f(64.0f, 64.0f, 128.0f / 6.0f);
    HeadLook h;
    h.skin = rgb(0xb57c52);
    h.centreV = 1.0f;
    h.radiusU = 1.38f;
    h.radiusV = 1.6f;
    h.eyeV = 0.98f;
    h.iris = rgb(0x3a5a30);
    h.brow = rgb(0x201410);
    h.browV = 0.6f;
    h.noseV = 1.5f;
    h.mouthV = 2.0f;
    h.neckBottomV = 2.95f;
    h.neckHalfWidth = 0.62f;
    const Colour hat = variant == 0 ? rgb(0x26232a) : rgb(0x7c7a80);
    const Colour band = variant == 0 ? rgb(0x8a1c24) : rgb(0x2a4a8a);
    const Colour hair = rgb(0x2a1c14);

    paintNeck(r, f, h);
    paintEars(r, f, h);
    paintFaceOval(r, f, h);
    const Paint sideHair = hairPaint(f, hair, 0.0f, 51);
    fillOutlined(r, f, f.box(-1.45f, -0.2f, -1.12f, 1.05f, 0.15f), sideHair, outlineOf(hair));
    fillOutlined(r, f, f.box(1.12f, -0.2f, 1.45f, 1.05f, 0.15f), sideHair, outlineOf(hair));
    paintBrows(r, f, h, 0.065f);
    paintFeatures(r, f, h);
    if (variant == 0) {
        const Shape moustache = f.mirroredPolygon({{0.0f, 1.68f},
                                                   {-0.3f, 1.62f},
                                                   {-0.62f, 1.72f},
                                                   {-0.82f, 1.62f},
                                                   {-0.9f, 1.48f},
                                                   {-0.78f, 1.78f},
                                                   {-0.45f, 1.88f},
                                                   {0.0f, 1.8f}});
        fillOutlined(r, f, moustache, rgb(0x1a120e));
    }
    // Crown widening a little toward the top, a band, and a curved brim.
    const Paint felt = horizontalGradient(f.at(-1.4f, 0.0f).x, shade(hat, 1.35f),
                                          f.at(1.4f, 0.0f).x, shade(hat, 0.7f));
    fillOutlined(r, f,
                 f.polygon({{-1.22f, -0.3f}, {-1.36f, -2.85f}, {1.36f, -2.85f}, {1.22f, -0.3f}}),
                 felt, outlineOf(hat));
    r.fill(f.polygon({{-1.25f, -0.35f}, {-1.3f, -0.85f}, {1.3f, -0.85f}, {1.25f, -0.35f}}), band);
    fillOutlined(r, f,
                 f.ellipse(0.0f, -0.3f, 2.05f, 0.34f).unitedWith(f.box(-2.0f, -0.42f, 2.0f, -0.3f)),
                 felt, outlineOf(hat));
    r.fill(f.ellipse(-0.7f, -2.2f, 0.22f, 0.5f), rgb(0xffffff, 0.12f));
    return finishedHead(std::move(r));
}

// A young woman with a strawberry-blonde bob, a straight fringe, freckles and a red beret;
// the variant's beret is green and her eyes closed.
Raster paintBobWoman(int variant) {
    Raster r(128, 128);
    const Frame f(64.0f, 64.0f, 128.0f / 6.0f);
    HeadLook h;
    h.skin = rgb(0xf4d2bc);
    h.centreV = 1.02f;
    h.radiusU = 1.32f;
    h.radiusV = 1.58f;
    h.eyeV = 1.0f;
    h.eyeSpacing = 0.5f;
    h.iris = rgb(0x3a7a5a);
    h.eyesClosed = variant == 1;
    h.brow = rgb(0x9a5a2a);
    h.browV = 0.64f;
    h.noseV = 1.5f;
    h.mouthV = 2.0f;
    h.neckBottomV = 2.95f;
    h.neckHalfWidth = 0.55f;
    h.ears = false;
    const Colour hair = rgb(0xd8874a);
    const Paint hairShade = hairPaint(f, hair, -0.3f, 61);
    const Colour beret = variant == 0 ? rgb(0x8a2a4a) : rgb(0x2c7a3a);

    paintNeck(r, f, h);
    fillOutlined(
        r, f,
        f.ellipse(0.0f, 0.6f, 1.85f, 1.6f).unitedWith(f.box(-1.85f, 0.6f, 1.85f, 2.45f, 0.2f)),
        hairShade, outlineOf(hair));
    paintFaceOval(r, f, h);
    paintBrows(r, f, h, 0.05f);
    paintFeatures(r, f, h);
    PaintRandom freckles(71);
    for (int i = 0; i < 14; ++i) {
        const float side = i % 2 == 0 ? -1.0f : 1.0f;
        r.fill(
            f.circle(side * freckles.uniform(0.35f, 0.95f), freckles.uniform(1.25f, 1.65f), 0.045f),
            rgb(0xb8683a, 0.55f));
    }
    // The fringe is cut straight just above the brows.
    const Shape fringe =
        f.ellipse(0.0f, 0.55f, 1.6f, 1.25f).intersectedWith(f.box(-3.0f, -2.0f, 3.0f, 0.48f));
    fillOutlined(r, f, fringe, hairShade, outlineOf(hair));
    for (int i = -3; i <= 3; ++i)
        r.fill(f.arc({static_cast<float>(i) * 0.32f, -0.35f},
                     {static_cast<float>(i) * 0.3f + 0.05f, 0.1f},
                     {static_cast<float>(i) * 0.28f, 0.45f}, 0.025f),
               withAlpha(shade(hair, 0.55f), 0.6f));
    const Shape cap = f.ellipse(0.35f, -0.72f, 1.75f, 0.62f);
    fillOutlined(r, f, cap,
                 radialGradient(f.at(0.0f, 0.0f).x, f.at(0.0f, -1.0f).y, f.pixels(2.0f),
                                shade(beret, 1.25f), shade(beret, 0.7f)),
                 outlineOf(beret));
    fillOutlined(r, f, f.capsule({0.45f, -1.3f}, 0.08f, {0.55f, -1.55f}, 0.06f), beret);
    return finishedHead(std::move(r));
}

} // namespace

Raster paintFace(int kind, int variant) {
    switch (kind) {
    case 0:
        return paintYoungMan(variant);
    case 1:
        return paintWomanWithBun(variant);
    case 2:
        return paintOldMan(variant);
    case 3:
        return paintCurlyMan(variant);
    case 4:
        return paintTopHatMan(variant);
    default:
        return paintBobWoman(variant);
    }
}

Raster paintMouth(int kind) {
    Raster r(32, 32);
    const Frame f(16.0f, 16.0f, 16.0f);
    // Kind 0 is a round "oh", kind 1 the usual open mouth with upper teeth, kind 2 a wide
    // mouth showing both rows of teeth.
    const float width = kind == 0 ? 0.78f : (kind == 1 ? 0.92f : 0.96f);
    const float height = kind == 0 ? 0.9f : (kind == 1 ? 0.86f : 0.8f);
    const Colour lip = rgb(0xb4505a);
    const Shape lips = f.ellipse(0.0f, 0.0f, width, height);
    const Shape inside = f.ellipse(0.0f, 0.02f, width - 0.2f, height - 0.24f);
    r.fill(lips.grown(1.0f),
           radialGradient(16.0f, 16.0f, 16.0f, rgb(0x6a2a2a, 0.8f), rgb(0x6a2a2a, 0.0f)));
    r.fill(lips, verticalGradient(2.0f, shade(lip, 1.1f), 30.0f, shade(lip, 0.85f)));
    r.fill(inside, radialGradient(16.0f, 20.0f, 14.0f, rgb(0x3a0c10), rgb(0x140406)));
    if (kind != 0)
        r.fill(inside.intersectedWith(f.box(-1.0f, -1.0f, 1.0f, -height + 0.42f)), rgb(0xf0ece0));
    if (kind == 2)
        r.fill(inside.intersectedWith(f.box(-1.0f, height - 0.38f, 1.0f, 1.0f)), rgb(0xe4dccc));
    r.fill(inside.intersectedWith(f.ellipse(0.0f, height - 0.1f, width * 0.55f, 0.32f)),
           rgb(0xc0505a));
    // A glint on the lower lip.
    r.fill(f.ellipse(-0.2f, height - 0.1f, 0.22f, 0.05f), rgb(0xffffff, 0.35f));
    r.bleedColour(2);
    return r;
}
