// The still hall's copy on the desktop's OpenGL: a framebuffer object matching the window's
// buffers, filled and restored by blits.
#define GL_GLEXT_PROTOTYPES
#include "crowd/StillHall.h"

#include <GL/freeglut.h>
#include <GL/glext.h>
#include <algorithm>
#include <cstdio>

namespace {
constexpr GLbitfield copiedBuffers = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
} // namespace

void StillHall::copy(const HallView& view) {
    std::string reason;
    if (!checked) {
        checked = true;
        if (!supported(reason))
            return stop(reason);
    }
    held = false;
    GLint largestTexture = 0, largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    largest = std::min(largest, largestTexture);
    const int32_t newWidth = view.window[0];
    const int32_t newHeight = view.window[1];
    if (newWidth <= 0 || newHeight <= 0 || newWidth > largest || newHeight > largest)
        return; // drawn every frame at this size
    if ((newWidth != width || newHeight != height) && !allocate(newWidth, newHeight, reason))
        return stop(reason);
    while (glGetError() != GL_NO_ERROR) {
    }
    // The whole window, whatever box the hall was drawn in; the restore obeys the box.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    // Mesa keeps a window's rows top down and a framebuffer object's bottom up: kept upside down,
    // the copy is restored by plain copies of memory there instead of drawn rectangles.
    glBlitFramebuffer(0, 0, width, height, 0, height, width, 0, copiedBuffers, GL_NEAREST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        char text[64];
        std::snprintf(text, sizeof text, "copying the window failed (GL error 0x%04x)", error);
        return stop(text);
    }
    copied = view;
    held = true;
}

void StillHall::restore() const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, height, width, 0, 0, 0, width, height, copiedBuffers, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

bool StillHall::supported(std::string& reason) const {
    // Framebuffer objects and their blit are part of OpenGL 3.0, and of this one extension before.
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if ((version != nullptr && version[0] >= '3' && version[0] <= '9' && version[1] == '.') ||
        // A whole name of the list, which may end with it.
        (extensions != nullptr &&
         (" " + std::string(extensions) + " ").find(" GL_ARB_framebuffer_object ") !=
             std::string::npos))
        return true;
    reason = "the graphics library has no framebuffer objects";
    return false;
}

bool StillHall::allocate(int32_t newWidth, int32_t newHeight, std::string& reason) {
    // A blit copies depth only between buffers of the same format: the window's.
    GLint red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    GLenum depthFormat = GL_NONE;
    if (stencil == 8 && depth == 24)
        depthFormat = GL_DEPTH24_STENCIL8;
    else if (stencil == 0 && (depth == 16 || depth == 24 || depth == 32))
        depthFormat = depth == 16   ? GL_DEPTH_COMPONENT16
                      : depth == 24 ? GL_DEPTH_COMPONENT24
                                    : GL_DEPTH_COMPONENT32;
    if (red > 8 || green > 8 || blue > 8 || alpha > 8 || depthFormat == GL_NONE) {
        char text[96];
        std::snprintf(text, sizeof text,
                      "no copy matches the window's colour (%d, %d, %d, %d bits) and depth "
                      "(%d bits, stencil %d)",
                      red, green, blue, alpha, depth, stencil);
        reason = text;
        return false;
    }
    release();
    // Colour in the window's own byte order (blue, green, red), which Mesa picks for these
    // arguments: the restore is then a plain copy of memory.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, newWidth, newHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, newWidth, newHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                              stencil == 8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depthBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    width = newWidth;
    height = newHeight;
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char text[64];
        std::snprintf(text, sizeof text, "a copy of the window is incomplete (status 0x%04x)",
                      status);
        reason = text;
        return false;
    }
    return true;
}

void StillHall::release() {
    if (framebuffer == 0)
        return;
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &colour);
    glDeleteRenderbuffers(1, &depthBuffer);
    framebuffer = colour = depthBuffer = 0;
    width = height = 0;
}
