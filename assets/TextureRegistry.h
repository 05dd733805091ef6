// Every picture but the option card, as sprites kept under names and indices,
// and the one display list of the unit quad they all share.
#pragma once

#include "assets/Sprite.h"

#include <cstdint>
#include <string>
#include <vector>

// A TGA file as an OpenGL texture; 0 on any failure (not .tga, unreadable, 8-bit).
uint32_t loadTexture(const char* path);
// An RGBA picture, top row first, as a linearly filtered texture without mipmaps, left bound;
// repeat: its edges wrap around, else they clamp.
uint32_t createTexture(int32_t width, int32_t height, const uint8_t* rgba, bool repeat);

// Draws the registered sprite the description names, as it describes.
void drawSprite(const SpriteDraw& draw);

class TextureRegistry {
  public:
    uint32_t quadList = 0;       // display list of the 2 by 2 quad facing +z
    std::vector<Sprite> sprites; // index = order of registration
    std::vector<std::string> names;

    // Created on first use, which needs a current OpenGL context; GLUT thread only.
    static TextureRegistry& instance();

    // Never fails: a picture that does not load gives a sprite with texture 0.
    int32_t registerSprite(const std::string& name, const char* path, bool blend);
    // Ends the process with status 1 when no sprite has the name.
    int32_t indexOf(const std::string& name) const;
    // Unchecked: callers pass indices that registerSprite returned.
    const Sprite& sprite(int32_t index) const { return sprites[index]; }

  private:
    TextureRegistry();
};
