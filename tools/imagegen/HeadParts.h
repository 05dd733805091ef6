// The parts every head is built from: the face oval, neck, ears, eyes, brows, nose, cheeks,
// the closed mouth, glasses and the hair paints, laid out by a HeadLook in head units.
#pragma once

#include "Frame.h"
#include "Raster.h"

#include <cstdint>

// Where a head's features sit and how they are coloured; units from the picture centre,
// v downward.
struct HeadLook {
    Colour skin;
    float centreV = 0.0f; // face oval, units from the picture centre (v downward)
    float radiusU = 1.4f;
    float radiusV = 1.7f;
    float eyeV = 0.0f;
    float eyeSpacing = 0.52f; // from the middle to each eye
    Colour iris;
    bool eyesClosed = false;
    Colour brow;
    float browV = -0.4f;
    float noseV = 0.5f;
    float mouthV = 1.0f; // where the program centres the singing mouth
    float neckBottomV = 2.6f;
    float neckHalfWidth = 0.6f;
    bool ears = true;
};

// A dark edge of the colour, for outlines.
Colour outlineOf(const Colour& c);
void fillOutlined(Raster& r, const Frame& f, const Shape& s, const Paint& p, const Colour& line);
void fillOutlined(Raster& r, const Frame& f, const Shape& s, const Colour& c);

// Skin lit from the upper left, falling off toward the outline.
Paint skinPaint(const Frame& f, const HeadLook& h);
// Strands running downward, with a sheen across the head at sheenV.
Paint hairPaint(const Frame& f, const Colour& base, float sheenV, uint32_t seed);
// Tight curls.
Paint curlPaint(const Frame& f, const Colour& base, uint32_t seed);

void paintNeck(Raster& r, const Frame& f, const HeadLook& h);
void paintEars(Raster& r, const Frame& f, const HeadLook& h);
void paintFaceOval(Raster& r, const Frame& f, const HeadLook& h);
void paintEyes(Raster& r, const Frame& f, const HeadLook& h);
void paintBrows(Raster& r, const Frame& f, const HeadLook& h, float thickness);
void paintNose(Raster& r, const Frame& f, const HeadLook& h, float width);
void paintCheeks(Raster& r, const Frame& f, const HeadLook& h, float strength);
// The closed mouth: a short line with a hint of the lower lip; the open mouth covers it.
void paintMouthLine(Raster& r, const Frame& f, const HeadLook& h);
void paintGlasses(Raster& r, const Frame& f, const HeadLook& h, const Colour& rim, float radius);
// Eyes, nose, cheeks and the closed mouth.
void paintFeatures(Raster& r, const Frame& f, const HeadLook& h);
// Hard alpha, as the program draws heads with an alpha test at 0.95.
Raster finishedHead(Raster r);
