#include "assets/Sprite.h"

#include "assets/TextureRegistry.h"

#include <GL/gl.h>

void Sprite::draw(Vec3 position, Vec3 scale, Rotation rotation, float alphaRef) const {
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (alphaRef != 0.0f) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, alphaRef);
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    // Scaled first, then turned, then moved.
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glRotatef(rotation.angle, rotation.ax, rotation.ay, rotation.az);
    glScalef(scale.x, scale.y, scale.z);
    glCallList(TextureRegistry::instance().quadList);
    glPopMatrix();
    if (blend) {
        if (alphaRef != 0.0f)
            glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
    }
}
