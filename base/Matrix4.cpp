#include "base/Matrix4.h"

#include <algorithm>
#include <cmath>

namespace {
// Element (row, column) of a column-major matrix.
float& at(float* m, int row, int column) {
    return m[column * 4 + row];
}

// The product of two matrices whose last rows are (0, 0, 0, 1), as Mesa multiplies a model-view
// matrix: the last row is set, not summed.
void multiplyAffine(float* product, const float* a, const float* b) {
    for (int i = 0; i < 3; ++i) {
        const float ai0 = a[i], ai1 = a[4 + i], ai2 = a[8 + i], ai3 = a[12 + i];
        for (int j = 0; j < 3; ++j)
            product[j * 4 + i] = ai0 * b[j * 4] + ai1 * b[j * 4 + 1] + ai2 * b[j * 4 + 2];
        product[12 + i] = ai0 * b[12] + ai1 * b[13] + ai2 * b[14] + ai3;
    }
    product[3] = product[7] = product[11] = 0.0f;
    product[15] = 1.0f;
}

bool affine(const float* m) {
    return m[3] == 0.0f && m[7] == 0.0f && m[11] == 0.0f && m[15] == 1.0f;
}

// GLU's inverse by cofactors, in double.
bool invert(const double* m, double* out) {
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0)
        return false;
    det = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        out[i] = inv[i] * det;
    return true;
}
} // namespace

void Matrix4::translate(float x, float y, float z) {
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void Matrix4::scale(float x, float y, float z) {
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void Matrix4::rotate(float angle, float x, float y, float z) {
    if (angle == 0.0f)
        return;
    // The angle's sine and cosine in single precision of a double product, as Mesa takes them.
    const float radians = static_cast<float>(static_cast<double>(angle) * M_PI / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    Matrix4 r;
    float* t = r.m;
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        at(t, 0, 0) = c;
        at(t, 1, 1) = c;
        at(t, 0, 1) = z < 0.0f ? s : -s;
        at(t, 1, 0) = z < 0.0f ? -s : s;
    } else if (x == 0.0f && y != 0.0f && z == 0.0f) {
        at(t, 0, 0) = c;
        at(t, 2, 2) = c;
        at(t, 0, 2) = y < 0.0f ? -s : s;
        at(t, 2, 0) = y < 0.0f ? s : -s;
    } else if (x != 0.0f && y == 0.0f && z == 0.0f) {
        at(t, 1, 1) = c;
        at(t, 2, 2) = c;
        at(t, 1, 2) = x < 0.0f ? s : -s;
        at(t, 2, 1) = x < 0.0f ? -s : s;
    } else {
        const float magnitude = std::sqrt(x * x + y * y + z * z);
        if (magnitude <= 1.0e-4f)
            return; // no axis: no turn
        x /= magnitude;
        y /= magnitude;
        z /= magnitude;
        const float xx = x * x, yy = y * y, zz = z * z;
        const float xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s;
        const float oneMinusC = 1.0f - c;
        at(t, 0, 0) = (oneMinusC * xx) + c;
        at(t, 0, 1) = (oneMinusC * xy) - zs;
        at(t, 0, 2) = (oneMinusC * zx) + ys;
        at(t, 1, 0) = (oneMinusC * xy) + zs;
        at(t, 1, 1) = (oneMinusC * yy) + c;
        at(t, 1, 2) = (oneMinusC * yz) - xs;
        at(t, 2, 0) = (oneMinusC * zx) - ys;
        at(t, 2, 1) = (oneMinusC * yz) + xs;
        at(t, 2, 2) = (oneMinusC * zz) + c;
    }
    multiply(r);
}

void Matrix4::multiply(const Matrix4& other) {
    if (affine(m) && affine(other.m)) {
        float result[16];
        multiplyAffine(result, m, other.m);
        std::copy(result, result + 16, m);
    } else {
        *this = product(*this, other);
    }
}

void Matrix4::transform(const float in[4], float out[4]) const {
    for (int row = 0; row < 4; ++row) {
        float sum = in[0] * m[row];
        sum = in[1] * m[4 + row] + sum;
        sum = in[2] * m[8 + row] + sum;
        sum = in[3] * m[12 + row] + sum;
        out[row] = sum;
    }
}

Matrix4 product(const Matrix4& a, const Matrix4& b) {
    Matrix4 p;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            float sum = a.m[row] * b.m[column * 4];
            sum = sum + a.m[4 + row] * b.m[column * 4 + 1];
            sum = sum + a.m[8 + row] * b.m[column * 4 + 2];
            sum = sum + a.m[12 + row] * b.m[column * 4 + 3];
            p.m[column * 4 + row] = sum;
        }
    return p;
}

Matrix4 perspective(double fieldOfView, double aspect, double nearPlane, double farPlane) {
    Matrix4 p;
    const double radians = fieldOfView / 2 * 3.14159265358979323846 / 180;
    const double depth = farPlane - nearPlane;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0)
        return p; // GLU leaves the matrix alone
    const double cotangent = std::cos(radians) / sine;
    p.m[0] = static_cast<float>(cotangent / aspect);
    p.m[5] = static_cast<float>(cotangent);
    p.m[10] = static_cast<float>(-(farPlane + nearPlane) / depth);
    p.m[11] = -1.0f;
    p.m[14] = static_cast<float>(-2 * nearPlane * farPlane / depth);
    p.m[15] = 0.0f;
    return p;
}

namespace {
// matrix * in, in double, each entry's terms added as GLU adds them.
void transformDouble(const double matrix[16], const double in[4], double out[4]) {
    for (int i = 0; i < 4; ++i)
        out[i] = in[0] * matrix[0 * 4 + i] + in[1] * matrix[1 * 4 + i] + in[2] * matrix[2 * 4 + i] +
                 in[3] * matrix[3 * 4 + i];
}
} // namespace

bool project(const double object[3], const double modelview[16], const double projection[16],
             const int viewport[4], double window[3]) {
    const double in[4] = {object[0], object[1], object[2], 1.0};
    double eye[4];
    double clip[4];
    transformDouble(modelview, in, eye);
    transformDouble(projection, eye, clip);
    if (clip[3] == 0.0)
        return false;
    for (int i = 0; i < 3; ++i)
        window[i] = clip[i] / clip[3] * 0.5 + 0.5;
    window[0] = window[0] * viewport[2] + viewport[0];
    window[1] = window[1] * viewport[3] + viewport[1];
    return true;
}

bool unProject(const double window[3], const double modelview[16], const double projection[16],
               const int viewport[4], double object[3]) {
    // modelview times projection in GLU's row order, which is projection * modelview.
    double final[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            final[i * 4 + j] = modelview[i * 4 + 0] * projection[0 * 4 + j] +
                               modelview[i * 4 + 1] * projection[1 * 4 + j] +
                               modelview[i * 4 + 2] * projection[2 * 4 + j] +
                               modelview[i * 4 + 3] * projection[3 * 4 + j];
    if (!invert(final, final))
        return false;
    double in[4] = {window[0], window[1], window[2], 1.0};
    in[0] = (in[0] - viewport[0]) / viewport[2];
    in[1] = (in[1] - viewport[1]) / viewport[3];
    in[0] = in[0] * 2 - 1;
    in[1] = in[1] * 2 - 1;
    in[2] = in[2] * 2 - 1;
    double out[4];
    transformDouble(final, in, out);
    if (out[3] == 0.0)
        return false;
    for (int i = 0; i < 3; ++i)
        object[i] = out[i] / out[3];
    return true;
}
