// The crowd's startled "ooo": a few dozen men and women, each at a pitch and moment of their own.
#pragma once

#include "soundgen/Sound.h"

// variant 0 or 1: two different crowds, 1.5 and 1.8 seconds.
Sound makeCrowdOoo(int variant);
