// Light and fire: the flame frames, the light shaft under the cursor and the selection ring.
#pragma once

#include "Raster.h"

// One of five flame frames, 8 by 15 units (64 x 128), soft alpha.
Raster paintFire(int frame);
// A soft vertical beam, 64 x 256, faint and fading upward.
Raster paintLightShaft();
// A glowing ring, 64 x 64, soft alpha.
Raster paintSelected();
