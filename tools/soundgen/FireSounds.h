// The fire: four ways of catching alight with a whoosh, and the steady crackling roar that loops
// while anything burns.
#pragma once

#include "soundgen/Sound.h"

// variant 0 to 3: a flame catching with a whoosh, then crackling, 1.2 to 2.2 seconds.
Sound makeFireStart(int variant);
// A crackling, roaring fire of a few seconds whose end runs on into its start.
Sound makeFireLoop();
