#include "base/Matrix4.h"

#include "support/Gl.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

namespace {
// Each step taken by the desktop's OpenGL and by ours; read back from a real context, the two
// must be the same matrix.
struct Both {
    Matrix4 ours;
    void translate(float x, float y, float z) { glTranslatef(x, y, z), ours.translate(x, y, z); }
    void scale(float x, float y, float z) { glScalef(x, y, z), ours.scale(x, y, z); }
    void rotate(float angle, float x, float y, float z) {
        glRotatef(angle, x, y, z);
        ours.rotate(angle, x, y, z);
    }
    void expectSame(GLenum which = GL_MODELVIEW_MATRIX) const {
        Matrix4 theirs;
        glGetFloatv(which, theirs.m);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(ours.m[i], theirs.m[i]) << "element " << i;
    }
};
} // namespace

TEST(Matrix4, TheSceneMatricesProjectingAndUnProjectingAreTheDesktopsToTheBit) {
    ensureGlContext();
    // Aspects of the start-up window, a tall and a flat one; views home, shaken and travelled.
    glMatrixMode(GL_PROJECTION);
    for (const float aspect : {2.0f, 300.0f / 900.0f, 400.0f}) {
        glLoadIdentity();
        gluPerspective(55.0f, aspect, 0.1, 1000.0);
        Both{perspective(55.0f, aspect, 0.1, 1000.0)}.expectSame(GL_PROJECTION_MATRIX);
    }
    glMatrixMode(GL_MODELVIEW);
    for (const float y : {-19.0f, -19.2731f, -7.5f}) {
        glLoadIdentity();
        Both view;
        view.translate(13.37f, y, -145.0f);
        view.expectSame();
        // The floor, turned flat; a sprite; and a turn about an axis of no special kind.
        view.translate(0.0f, -20.0f, 100.0f);
        view.rotate(90.0f, -1.0f, 0.0f, 0.0f);
        view.scale(200.0f, 150.0f, 1.0f);
        view.expectSame();
        view.rotate(33.3f, 1.0f, 2.0f, -3.0f);
        view.rotate(0.0f, 0.0f, 0.0f, 0.0f);
        view.rotate(12.0f, 0.0f, -1.0f, 0.0f);
        view.expectSame();
        // Moved and scaled once turned: every term of each sum counts, in its order.
        view.translate(1.1f, -2.3f, 4.7f);
        view.scale(0.3f, 7.0f, -1.9f);
        view.expectSame();
    }
    // The card at every angle of its swing.
    for (float angle = -13.2f; angle <= 90.0f; angle += 7.7f) {
        glLoadIdentity();
        Both card;
        card.translate(0.85f, -0.65f, -1.0f);
        card.rotate(angle, 0.0f, 0.0f, 1.0f);
        card.scale(0.9f, 0.9f, 0.9f);
        card.expectSame();
    }

    // Projecting and un-projecting are GLU's, to the bit.
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
