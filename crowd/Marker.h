// A named marker picture: the light shaft over the cursor's floor point or behind the selected
// person.
#pragma once

#include "assets/Sprite.h"

#include <cstdint>
#include <string>
#include <utility>

class Marker {
  public:
    int32_t sprite = 0;
    float pad = 3.0f; // added to each axis of the drawn scale
    std::string name; // the name loading registers the picture under

    explicit Marker(std::string markerName) : name(std::move(markerName)) {}

    // One blended sprite without an alpha test: expects blending off and leaves it off.
    void draw() const;
    // What draw draws.
    SpriteDraw spriteDraw() const;
};
