// The crowd's clothed bodies (six kinds) and the arm with a pistol, all with hard alpha.
#pragma once

#include "Raster.h"

// A standing figure from the neck to the shoes, 4 by 18 units (64 x 288).
Raster paintBody(int kind);
// An arm with a pistol, 8 by 3 units (128 x 48): pointing right with the arm entering from
// the left edge, or the mirror image.
Raster paintGunHand(bool pointsRight);
