// The still hall's copy in the browser: with WebGL 2, a framebuffer object matching the canvas's
// buffers, filled and restored by blits. WebGL 1 has no blit: there the hall is drawn every
// frame, as it always was, without a word.
#include "crowd/StillHall.h"

#include "platform/web/GlOverWebGl.h"

#include <GLES3/gl3.h>
#include <algorithm>
#include <cstdio>

namespace {
constexpr GLbitfield copiedBuffers = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
} // namespace

void StillHall::copy(const HallView& view) {
    std::string reason;
    if (!checked) {
        checked = true;
        if (!supported(reason)) {
            copying = false;
            return;
        }
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
    // The whole canvas, whatever box the hall was drawn in; the restore obeys the box.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, copiedBuffers, GL_NEAREST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        char text[64];
        std::snprintf(text, sizeof text, "copying the canvas failed (WebGL error 0x%04x)", error);
        return stop(text);
    }
    copied = view;
    held = true;
}

void StillHall::restore() const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, copiedBuffers, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

bool StillHall::supported(std::string& reason) const {
    if (webGlVersion() >= 2)
        return true;
    reason = "WebGL 1 has no blit";
    return false;
}

bool StillHall::allocate(int32_t newWidth, int32_t newHeight, std::string& reason) {
    // A blit copies depth only between buffers of the same format: the canvas's, which keeps
    // 24 bits of depth beside 8 of stencil even when it says it has no stencil.
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    if (depth != 24 && depth != 16) {
        char text[64];
        std::snprintf(text, sizeof text, "no copy matches the canvas's depth (%d bits)", depth);
        reason = text;
        return false;
    }
    const GLenum depthFormat = depth == 24 ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT16;
    release();
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, newWidth, newHeight);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, newWidth, newHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                              depth == 24 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depthBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    width = newWidth;
    height = newHeight;
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char text[64];
        std::snprintf(text, sizeof text, "a copy of the canvas is incomplete (status 0x%04x)",
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
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depthBuffer);
    framebuffer = colour = depthBuffer = 0;
    width = height = 0;
}
