// The hall the crowd stands in: the backdrop behind it and the floor under it, both opaque.
#pragma once

#include "Raster.h"

// 1024 x 680 for 450 by 300 units; the floor meets it 59% of the way down.
Raster paintHall();
// 512 x 384 for 400 by 300 units; the top of the picture is the far end.
Raster paintFloor();
