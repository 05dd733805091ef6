// A column-major 4 by 4 matrix with OpenGL's operations worked out as Mesa works them out in
// single precision, and GLU's perspective, projection and un-projection in double, so that a
// drawing path of our own puts every corner where the desktop's OpenGL puts it, to the bit. No GL
// here.
#pragma once

struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; // column by column

    // glTranslatef, glScalef and glRotatef (degrees about an axis) applied to this matrix.
    void translate(float x, float y, float z);
    void scale(float x, float y, float z);
    void rotate(float angle, float x, float y, float z);
    // this = this * other, as glMultMatrixf.
    void multiply(const Matrix4& other);
    // The corner (x, y, z, w) through the matrix, its terms added as the software renderer adds
    // them.
    void transform(const float in[4], float out[4]) const;
};

// a * b, each entry summed left to right in single precision.
Matrix4 product(const Matrix4& a, const Matrix4& b);

// gluPerspective's matrix (degrees, aspect, near and far), computed in double and rounded to
// single precision as glMultMatrixd rounds it.
Matrix4 perspective(double fieldOfView, double aspect, double nearPlane, double farPlane);

// gluProject: object (x, y, z) through the model-view and projection matrices, both in double,
// to window (x, y, depth); false when it lies in the eye's plane.
bool project(const double object[3], const double modelview[16], const double projection[16],
             const int viewport[4], double window[3]);
// gluUnProject: window (x, y, depth) back through the model-view and projection matrices, both
// in double; false when they cannot be inverted.
bool unProject(const double window[3], const double modelview[16], const double projection[16],
               const int viewport[4], double object[3]);
