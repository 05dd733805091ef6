// A picture framed by texels of its own opposite edges, so that linear filtering at its border
// reads what it reads in a repeating texture: the atlas frames each of its pictures so, and the
// browser's drawing path a picture WebGL 1 cannot repeat.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t frameBorder = 1; // texels of wrapped picture around a framed picture

// The width by height RGBA picture and its frame into out, a picture outWidth texels wide, with
// the picture's first texel at (x, y).
void copyFramed(const std::vector<uint8_t>& rgba, int32_t width, int32_t height,
                std::vector<uint8_t>& out, int32_t outWidth, int32_t x, int32_t y);
