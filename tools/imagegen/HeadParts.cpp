#include "HeadParts.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
const float outlineWidth = 0.06f; // units
} // namespace

Colour outlineOf(const Colour& c) {
    return shade(c, 0.3f);
}

void fillOutlined(Raster& r, const Frame& f, const Shape& s, const Paint& p, const Colour& line) {
    r.fill(s.grown(f.pixels(outlineWidth)), line);
    r.fill(s, p);
}

void fillOutlined(Raster& r, const Frame& f, const Shape& s, const Colour& c) {
    fillOutlined(r, f, s, solid(c), outlineOf(c));
}

Paint skinPaint(const Frame& f, const HeadLook& h) {
    const Point light = f.at(-h.radiusU * 0.35f, h.centreV - h.radiusV * 0.35f);
    const float reach = f.pixels(std::max(h.radiusU, h.radiusV) * 1.6f);
    return radialGradient(light.x, light.y, reach, shade(h.skin, 1.08f), shade(h.skin, 0.72f));
}

Paint hairPaint(const Frame& f, const Colour& base, float sheenV, uint32_t seed) {
    return [=](float x, float y) {
        const float u = f.u(x);
        const float v = f.v(y);
        const float strands = Noise::value(u * 10.0f + std::sin(v * 2.5f) * 0.8f, v * 1.5f, seed);
        const float sheen = std::exp(-(v - sheenV) * (v - sheenV) * 6.0f) * 0.25f;
        return shade(base, 0.78f + 0.34f * strands + sheen);
    };
}

Paint curlPaint(const Frame& f, const Colour& base, uint32_t seed) {
    return [=](float x, float y) {
        const float u = f.u(x);
        const float v = f.v(y);
        // Contours of a slow noise make small rings and squiggles.
        const float n = Noise::fractal(u * 3.0f, v * 3.0f, 2, seed);
        const float curls = 0.5f + 0.5f * std::sin(n * 28.0f);
        const float top = clamp01(-v * 0.2f + 0.3f);
        return shade(base, 0.68f + 0.38f * curls + top * 0.25f);
    };
}

void paintNeck(Raster& r, const Frame& f, const HeadLook& h) {
    const float top = h.centreV + h.radiusV * 0.5f;
    const Shape neck = f.box(-h.neckHalfWidth, top, h.neckHalfWidth, h.neckBottomV, 0.3f);
    const Point a = f.at(0.0f, h.centreV + h.radiusV);
    const Point b = f.at(0.0f, h.neckBottomV);
    // The chin's shadow darkens the top of the neck.
    fillOutlined(r, f, neck, verticalGradient(a.y, shade(h.skin, 0.6f), b.y, shade(h.skin, 0.88f)),
                 outlineOf(h.skin));
}

void paintEars(Raster& r, const Frame& f, const HeadLook& h) {
    if (!h.ears)
        return;
    for (const float side : {-1.0f, 1.0f}) {
        const Shape ear =
            f.ellipse(side * (h.radiusU - 0.02f), (h.eyeV + h.noseV) * 0.5f + 0.05f, 0.22f, 0.36f);
        fillOutlined(r, f, ear, shade(h.skin, 0.88f));
        r.fill(
            f.ellipse(side * (h.radiusU + 0.02f), (h.eyeV + h.noseV) * 0.5f + 0.05f, 0.09f, 0.2f),
            withAlpha(shade(h.skin, 0.6f), 0.7f));
    }
}

void paintFaceOval(Raster& r, const Frame& f, const HeadLook& h) {
    // A jaw a little narrower than the cheeks: an oval joined with a rounded chin.
    const Shape oval = f.ellipse(0.0f, h.centreV, h.radiusU, h.radiusV * 0.92f)
                           .unitedWith(f.ellipse(0.0f, h.centreV + h.radiusV * 0.3f,
                                                 h.radiusU * 0.78f, h.radiusV * 0.7f));
    fillOutlined(r, f, oval, skinPaint(f, h), outlineOf(h.skin));
}

void paintEyes(Raster& r, const Frame& f, const HeadLook& h) {
    const Colour lid = shade(h.brow, 0.5f);
    for (const float side : {-1.0f, 1.0f}) {
        const float cu = side * h.eyeSpacing;
        const float cv = h.eyeV;
        if (h.eyesClosed) {
            r.fill(
                f.arc({cu - 0.26f, cv - 0.02f}, {cu, cv + 0.16f}, {cu + 0.26f, cv - 0.02f}, 0.045f),
                lid);
            r.fill(
                f.arc({cu - 0.22f, cv + 0.12f}, {cu, cv + 0.2f}, {cu + 0.22f, cv + 0.12f}, 0.02f),
                withAlpha(shade(h.skin, 0.7f), 0.6f));
            continue;
        }
        // Socket shade, white, iris, pupil, light, then the upper lid over them.
        r.fill(f.ellipse(cu, cv - 0.02f, 0.36f, 0.26f), withAlpha(shade(h.skin, 0.75f), 0.5f));
        const Shape white = f.ellipse(cu, cv, 0.27f, 0.17f);
        r.fill(white, rgb(0xf2ede4));
        const float look = side * -0.02f;
        r.fill(f.circle(cu + look, cv + 0.01f, 0.14f).intersectedWith(white), h.iris);
        r.fill(f.circle(cu + look, cv + 0.01f, 0.065f).intersectedWith(white), rgb(0x100c0a));
        r.fill(f.circle(cu + look - 0.05f, cv - 0.04f, 0.035f), rgb(0xffffff, 0.9f));
        r.fill(f.arc({cu - 0.3f, cv + 0.04f}, {cu, cv - 0.26f}, {cu + 0.3f, cv + 0.03f}, 0.045f),
               lid);
    }
}

void paintBrows(Raster& r, const Frame& f, const HeadLook& h, float thickness) {
    for (const float side : {-1.0f, 1.0f}) {
        const float cu = side * h.eyeSpacing;
        r.fill(f.arc({cu - side * 0.3f, h.browV + 0.06f}, {cu, h.browV - 0.08f},
                     {cu + side * 0.32f, h.browV + 0.04f}, thickness),
               h.brow);
    }
}

void paintNose(Raster& r, const Frame& f, const HeadLook& h, float width) {
    const Colour shadow = withAlpha(shade(h.skin, 0.62f), 0.8f);
    r.fill(f.arc({0.06f, h.eyeV + 0.2f}, {0.14f, h.noseV - 0.15f}, {0.1f, h.noseV}, 0.03f),
           withAlpha(shadow, 0.45f));
    r.fill(f.ellipse(0.0f, h.noseV + 0.02f, width, width * 0.55f),
           withAlpha(shade(h.skin, 0.8f), 0.6f));
    r.fill(f.ellipse(-width * 0.5f, h.noseV + 0.05f, width * 0.28f, width * 0.18f), shadow);
    r.fill(f.ellipse(width * 0.5f, h.noseV + 0.05f, width * 0.28f, width * 0.18f), shadow);
    r.fill(f.ellipse(-0.04f, h.noseV - 0.1f, width * 0.35f, width * 0.3f),
           withAlpha(shade(h.skin, 1.15f), 0.5f));
}

void paintCheeks(Raster& r, const Frame& f, const HeadLook& h, float strength) {
    for (const float side : {-1.0f, 1.0f})
        r.fill(f.ellipse(side * (h.eyeSpacing + 0.15f), h.noseV + 0.05f, 0.34f, 0.22f),
               radialGradient(f.at(side * (h.eyeSpacing + 0.15f), h.noseV + 0.05f).x,
                              f.at(0.0f, h.noseV + 0.05f).y, f.pixels(0.34f),
                              rgb(0xd0605a, strength), rgb(0xd0605a, 0.0f)),
               Blend::Atop);
}

void paintMouthLine(Raster& r, const Frame& f, const HeadLook& h) {
    const float m = h.mouthV;
    r.fill(f.ellipse(0.0f, m + 0.12f, 0.22f, 0.08f), withAlpha(shade(h.skin, 0.8f), 0.8f));
    r.fill(f.arc({-0.3f, m - 0.02f}, {0.0f, m + 0.08f}, {0.3f, m - 0.02f}, 0.035f),
           mix(shade(h.skin, 0.45f), rgb(0x6a2020), 0.5f));
}

void paintGlasses(Raster& r, const Frame& f, const HeadLook& h, const Colour& rim, float radius) {
    for (const float side : {-1.0f, 1.0f}) {
        const Shape lens = f.circle(side * h.eyeSpacing, h.eyeV + 0.02f, radius);
        r.fill(lens, rgb(0xd8e8f0, 0.18f));
        r.fill(lens.grown(f.pixels(0.05f)).without(lens), rim);
        r.fill(f.arc({side * (h.eyeSpacing + radius), h.eyeV - 0.02f},
                     {side * (h.radiusU - 0.1f), h.eyeV - 0.08f},
                     {side * (h.radiusU + 0.02f), h.eyeV - 0.05f}, 0.04f),
               rim);
    }
    r.fill(f.arc({-h.eyeSpacing + radius, h.eyeV - 0.03f}, {0.0f, h.eyeV - 0.14f},
                 {h.eyeSpacing - radius, h.eyeV - 0.03f}, 0.04f),
           rim);
}

void paintFeatures(Raster& r, const Frame& f, const HeadLook& h) {
    paintEyes(r, f, h);
    paintNose(r, f, h, 0.17f);
    paintCheeks(r, f, h, 0.25f);
    paintMouthLine(r, f, h);
}

Raster finishedHead(Raster r) {
    r.hardenAlpha();
    r.bleedColour(3);
    return r;
}
