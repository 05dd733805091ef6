// The pictures with words: the title screen and the option card.
#pragma once

#include "Raster.h"
#include "TextPainter.h"

// 1024 x 512, opaque: the name over the dim hall (the backdrop picture) and a waiting crowd.
// invitation: the line under the name, "Click to enter the hall" (a touch screen's says "Tap").
Raster paintTitle(const Raster& hall, TextPainter& bold, TextPainter& regular,
                  const char* invitation);
// 384 x 384: a rounded card naming the four keys, transparent outside it.
Raster paintOptionCard(TextPainter& bold, TextPainter& regular);
