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
    // Made as OpenGL implementations make it (the sine and cosine in double precision, a turn
    // about a coordinate axis leaving that axis exactly alone), so that what is placed with it
    // lands where glRotatef would have put it, to the last bit as far as can be.
    static Matrix4 rotation(float degrees, float x, float y, float z) {
        Matrix4 r;
        const double radians = static_cast<double>(degrees) * 3.14159265358979323846 / 180.0;
        const float s = static_cast<float>(std::sin(radians));
        const float c = static_cast<float>(std::cos(radians));
        auto at = [&r](int row, int col) -> float& { return r.m[col * 4 + row]; };
        const int axes = (x != 0) + (y != 0) + (z != 0);
        if (axes == 0) return r;
        if (axes == 1) {
            // About coordinate axis a, turning axis b towards axis d.
            const int a = x != 0 ? 0 : y != 0 ? 1 : 2, b = (a + 1) % 3, d = (a + 2) % 3;
            const float sine = x + y + z < 0 ? -s : s;
            at(b, b) = c;
            at(d, d) = c;
            at(b, d) = -sine;
            at(d, b) = sine;
            return r;
        }
        const float length = std::sqrt(x * x + y * y + z * z);
        x /= length;
        y /= length;
        z /= length;
        const float t = 1 - c;
        at(0, 0) = t * (x * x) + c;
        at(0, 1) = t * (x * y) - z * s;
        at(0, 2) = t * (z * x) + y * s;
        at(1, 0) = t * (x * y) + z * s;
        at(1, 1) = t * (y * y) + c;
        at(1, 2) = t * (y * z) - x * s;
        at(2, 0) = t * (z * x) - y * s;
        at(2, 1) = t * (y * z) + x * s;
        at(2, 2) = t * (z * z) + c;
        return r;
    }

    // Point p (w = 1) under this matrix, all four coordinates, as the vertex stage computes
    // them (for the projection times the modelview: clip coordinates).
    void transform(const float p[3], float out[4]) const {
        for (int row = 0; row < 4; ++row)
            out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    }
};
