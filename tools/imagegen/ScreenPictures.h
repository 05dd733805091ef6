// The pictures with words: the title screen and the option card.
#pragma once

#include "Raster.h"
#include "TextPainter.h"

// 1024 x 512, opaque: the name over the dim hall (the backdrop picture) and a waiting crowd.
Raster paintTitle(const Raster& hall, TextPainter& bold, TextPainter& regular);
// 384 x 384: a rounded card naming the four keys, transparent outside it.
Raster paintOptionCard(TextPainter& bold, TextPainter& regular);
