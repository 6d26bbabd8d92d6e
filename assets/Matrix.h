#pragma once
// 4 x 4 matrices as OpenGL keeps them (column-major, m[column * 4 + row]) and the products
// glTranslatef and glRotatef make, for drawers that place many small pieces on the CPU rather
// than with a matrix call (and a read-back) per piece.

#include <cmath>

struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // This matrix times b (b applied first), as glMultMatrixf.
    Matrix4 operator*(const Matrix4& b) const {
        Matrix4 r;
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row < 4; ++row)
                r.m[c * 4 + row] = m[row] * b.m[c * 4] + m[4 + row] * b.m[c * 4 + 1] +
                                   m[8 + row] * b.m[c * 4 + 2] + m[12 + row] * b.m[c * 4 + 3];
        return r;
    }

    // This matrix times a translation, as glTranslatef.
    Matrix4 translated(float x, float y, float z) const {
        Matrix4 r = *this;
        for (int row = 0; row < 4; ++row)
            r.m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
        return r;
    }

    // The rotation glRotatef makes: degrees about the axis (x, y, z), which need not be unit.
    static Matrix4 rotation(float degrees, float x, float y, float z) {
        Matrix4 r;
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length == 0) return r;
        x /= length;
        y /= length;
        z /= length;
        const float radians = degrees * 3.14159265358979323846f / 180;
        const float s = std::sin(radians), c = std::cos(radians), t = 1 - c;
        const float rows[3][3] = {{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                                  {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                                  {x * z * t - y * s, y * z * t + x * s, z * z * t + c}};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) r.m[col * 4 + row] = rows[row][col];
        return r;
    }
};
