// Explosions heard from far away: a deep boom and a long rolling rumble, with the highs lost on
// the way.
#pragma once

#include "soundgen/Sound.h"

// variant 0 to 2: three different booms, 3 to 4.5 seconds each.
Sound makeDistantExplosion(int variant);
