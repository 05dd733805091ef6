// The song the crowd sings along to: a slow, sad adagio in A minor for a singing voice over
// sustained strings, breathing between its phrases and looping without a seam.
#pragma once

#include "soundgen/Sound.h"

// About 86 seconds, stereo.
Sound makeAdagio();
