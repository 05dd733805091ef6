// The heads of the crowd (six kinds, two variants each) and the open singing mouths drawn
// over them. Heads have hard alpha; mouths are soft.
#pragma once

#include "Raster.h"

// Kinds 1 and 2 are drawn 6 by 8 units (96 x 128), the others 6 by 6 (128 x 128); the
// closed mouth sits where the program draws the singing mouth for that kind.
Raster paintFace(int kind, int variant);
// Three open mouths filling a 32 x 32 square, stretched to the mouth's size when drawn.
Raster paintMouth(int kind);
