// The desktop icon: a face of the crowd catching fire before the hall's red curtain.
#pragma once

#include "Raster.h"

// 256 x 256, transparent outside its rounded square.
Raster paintIcon();
