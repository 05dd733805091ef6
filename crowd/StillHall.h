// The hall kept still: once a frame's view is the last frame's, the backdrop and the floor just
// drawn are copied, colour and depth, into a framebuffer object of the window's size; while the
// view stays that, later frames restore them from the copy instead of drawing them again. The
// view is what GL draws the hall with, read back from GL, so that no change of it is missed.
// The copy is the desktop's OpenGL (platform/desktop/StillHallGl.cpp) or the browser's WebGL 2
// (platform/web/StillHallWeb.cpp); WebGL 1 has no blit, and there the hall is drawn every frame.
#pragma once

#include <cstdint>
#include <string>

// What a frame does with the hall.
enum class HallStep {
    Draw,        // a view unlike the last frame's
    DrawAndCopy, // the last frame's view again: drawn, then kept
    Restore,     // the kept view: restored from the copy
};

// Everything the hall's pixels depend on; two views are the same when every byte is.
struct HallView {
    float projection[16] = {};
    float modelView[16] = {};  // the view's translation, the shake included
    int32_t viewport[4] = {};  // x, y, width, height in pixels
    int32_t window[2] = {};    // the window's width and height in pixels
    uint32_t textures[2] = {}; // the backdrop's and the floor's; their pictures never change
    float colour[4] = {};      // the current colour, which texturing multiplies
    float clear[5] = {};       // colour and depth, which the window shows where the hall is not
    int32_t switches[7] = {};  // blending, alpha, depth and scissor tests, culling, texturing, sRGB
    int32_t functions[4] = {}; // depth test, culled face, front face, texture environment
    int32_t scissorBox[4] = {};
    int32_t copyable = 0; // 1: a blit writes what drawing writes (all bits, no sRGB conversion)

    // The view GL would draw the hall with now; expects the window's framebuffer bound.
    static HallView read(uint32_t backdropTexture, uint32_t floorTexture);
    bool operator==(const HallView& other) const;
};

class StillHall {
  public:
    bool copying = true; // false once GL has shown it cannot keep a copy: drawn every frame

    // The step for a frame of this view; every call is a frame.
    HallStep next(const HallView& view);
    // What the last frame did.
    HallStep step() const { return lastStep; }
    // After the hall of a DrawAndCopy frame is drawn. Where GL lacks what the copy needs, says so
    // once on standard error and stops copying; a window no copy can hold is drawn every frame.
    void copy(const HallView& view);
    // Writes the copy's colour and depth over the window, as the scissor box allows.
    void restore() const;

  private:
    HallStep lastStep = HallStep::Draw;
    HallView last;        // the last frame's view
    bool seen = false;    // last is set
    HallView copied;      // the view the copy holds
    bool held = false;    // the copy holds copied
    bool checked = false; // whether GL can copy is known
    uint32_t framebuffer = 0;
    uint32_t colour = 0;      // a texture, or in the browser a renderbuffer
    uint32_t depthBuffer = 0; // a renderbuffer
    int32_t width = 0;        // pixels, the copy's size
    int32_t height = 0;       // pixels

    bool supported(std::string& reason) const;
    // A copy of the window's buffers at this size; false, with the reason, when none can match
    // them.
    bool allocate(int32_t newWidth, int32_t newHeight, std::string& reason);
    void release();
    void stop(const std::string& reason);
};
