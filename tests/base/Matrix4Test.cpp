#include "base/Matrix4.h"

#include "support/Gl.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

namespace {
// The desktop's OpenGL computes the same matrices: read back from a real context.
Matrix4 current(GLenum which) {
    Matrix4 read;
    glGetFloatv(which, read.m);
    return read;
}

void expectSame(const Matrix4& ours, const Matrix4& theirs) {
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ours.m[i], theirs.m[i]) << "element " << i;
}
} // namespace

TEST(Matrix4, TheSceneMatricesAreTheDesktopsToTheBit) {
    ensureGlContext();
    // Aspects of the start-up window, a tall and a flat one; views home, shaken and travelled.
    for (const float aspect : {2.0f, 300.0f / 900.0f, 400.0f}) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(55.0f, aspect, 0.1, 1000.0);
        expectSame(perspective(55.0f, aspect, 0.1, 1000.0), current(GL_PROJECTION_MATRIX));
    }
    glMatrixMode(GL_MODELVIEW);
    for (const float y : {-19.0f, -19.2731f, -7.5f}) {
        glLoadIdentity();
        glTranslatef(13.37f, y, -145.0f);
        Matrix4 view;
        view.translate(13.37f, y, -145.0f);
        expectSame(view, current(GL_MODELVIEW_MATRIX));
        // The floor, turned flat; a sprite; and a turn about an axis of no special kind.
        Matrix4 floor = view;
        glPushMatrix();
        glTranslatef(0.0f, -20.0f, 100.0f);
        glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
        glScalef(200.0f, 150.0f, 1.0f);
        floor.translate(0.0f, -20.0f, 100.0f);
        floor.rotate(90.0f, -1.0f, 0.0f, 0.0f);
        floor.scale(200.0f, 150.0f, 1.0f);
        expectSame(floor, current(GL_MODELVIEW_MATRIX));
        glRotatef(33.3f, 1.0f, 2.0f, -3.0f);
        glRotatef(0.0f, 0.0f, 0.0f, 0.0f);
        glRotatef(12.0f, 0.0f, -1.0f, 0.0f);
        floor.rotate(33.3f, 1.0f, 2.0f, -3.0f);
        floor.rotate(0.0f, 0.0f, 0.0f, 0.0f);
        floor.rotate(12.0f, 0.0f, -1.0f, 0.0f);
        expectSame(floor, current(GL_MODELVIEW_MATRIX));
        // Moved and scaled once turned: every term of each sum counts, in its order.
        glTranslatef(1.1f, -2.3f, 4.7f);
        glScalef(0.3f, 7.0f, -1.9f);
        floor.translate(1.1f, -2.3f, 4.7f);
        floor.scale(0.3f, 7.0f, -1.9f);
        expectSame(floor, current(GL_MODELVIEW_MATRIX));
        glPopMatrix();
    }
    // The card at every angle of its swing.
    for (float angle = -13.2f; angle <= 90.0f; angle += 7.7f) {
        glLoadIdentity();
        glTranslatef(0.85f, -0.65f, -1.0f);
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glScalef(0.9f, 0.9f, 0.9f);
        Matrix4 card;
        card.translate(0.85f, -0.65f, -1.0f);
        card.rotate(angle, 0.0f, 0.0f, 1.0f);
        card.scale(0.9f, 0.9f, 0.9f);
        expectSame(card, current(GL_MODELVIEW_MATRIX));
    }
}

TEST(Matrix4, ProjectingAndUnProjectingAreGlusToTheBit) {
    const Matrix4 projection = perspective(55.0f, 2.0f, 0.1, 1000.0);
    Matrix4 view;
    view.translate(-31.25f, -19.0f, -61.5f);
    double p[16], v[16];
    for (int i = 0; i < 16; ++i) {
        p[i] = projection.m[i];
        v[i] = view.m[i];
    }
    const int viewport[4] = {0, 0, 1024, 512};
    for (const double x : {0.0, 1.0, 511.0, 777.0, 1023.0})
        for (const double y : {0.0, 100.0, 399.0, 511.0})
            for (const double depth : {0.0, 1.0}) {
                const double window[3] = {x, y, depth};
                double ours[3], theirs[3];
                ASSERT_TRUE(unProject(window, v, p, viewport, ours));
                gluUnProject(x, y, depth, v, p, viewport, &theirs[0], &theirs[1], &theirs[2]);
                double back[3], glus[3];
                ASSERT_TRUE(project(ours, v, p, viewport, back));
                gluProject(ours[0], ours[1], ours[2], v, p, viewport, &glus[0], &glus[1], &glus[2]);
                for (int i = 0; i < 3; ++i)
                    EXPECT_TRUE(ours[i] == theirs[i] && back[i] == glus[i]) << x << ", " << y;
            }
    const double flat[16] = {};
    const double window[3] = {1.0, 2.0, 0.0};
    double object[3];
    EXPECT_FALSE(unProject(window, flat, p, viewport, object)); // nothing to invert
}
