#define GL_GLEXT_PROTOTYPES
#include "crowd/StillHall.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glut.h>
#include <cstdio>
#include <cstring>
#include <iterator>

HallView HallView::read(uint32_t backdropTexture, uint32_t floorTexture) {
    HallView view;
    glGetFloatv(GL_PROJECTION_MATRIX, view.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.modelView);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    view.window[0] = glutGet(GLUT_WINDOW_WIDTH);
    view.window[1] = glutGet(GLUT_WINDOW_HEIGHT);
    view.textures[0] = backdropTexture;
    view.textures[1] = floorTexture;
    glGetFloatv(GL_CURRENT_COLOR, view.colour);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, view.clear);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, view.clear + 4);
    const GLenum switches[] = {GL_BLEND,     GL_ALPHA_TEST, GL_DEPTH_TEST,      GL_SCISSOR_TEST,
                               GL_CULL_FACE, GL_TEXTURE_2D, GL_FRAMEBUFFER_SRGB};
    for (size_t i = 0; i < std::size(switches); ++i)
        view.switches[i] = glIsEnabled(switches[i]);
    glGetIntegerv(GL_DEPTH_FUNC, view.functions);
    glGetIntegerv(GL_CULL_FACE_MODE, view.functions + 1);
    glGetIntegerv(GL_FRONT_FACE, view.functions + 2);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, view.functions + 3);
    glGetIntegerv(GL_SCISSOR_BOX, view.scissorBox);
    GLboolean masks[5];
    glGetBooleanv(GL_COLOR_WRITEMASK, masks);
    glGetBooleanv(GL_DEPTH_WRITEMASK, masks + 4);
    view.copyable = masks[0] && masks[1] && masks[2] && masks[3] && masks[4] &&
                    !view.switches[std::size(switches) - 1]; // the last switch: sRGB
    return view;
}

bool HallView::operator==(const HallView& other) const {
    return std::memcmp(this, &other, sizeof(HallView)) == 0;
}

HallStep StillHall::next(const HallView& view) {
    const bool unchanged = seen && view == last;
    last = view;
    seen = true;
    // A blit ignores the write masks that drawing obeys.
    if (!copying || !view.copyable)
        lastStep = HallStep::Draw;
    else if (held && view == copied)
        lastStep = HallStep::Restore;
    else
        lastStep = unchanged ? HallStep::DrawAndCopy : HallStep::Draw;
    return lastStep;
}

void StillHall::stop(const std::string& reason) {
    std::fprintf(stderr, "throngwick: the hall is drawn anew every frame: %s\n", reason.c_str());
    copying = false;
    held = false;
    release();
}
