#pragma once

#include "math/vec3.h"

#include <array>

// Sixteen floats, m[0] … m[15]. The layout is not fixed by the type: each function that reads or writes a
// Matrix4 says which element order it uses, because the camera relies on two different ones.
struct Matrix4 {
    std::array<float, 16> m{};
};

// The matrix whose columns are a, b and c, in OpenGL (column-major) order: m[0..2] = a, m[4..6] = b,
// m[8..10] = c, m[15] = 1, every other element 0. Ready for glMultMatrixf.
Matrix4 basisMatrix(Vec3 a, Vec3 b, Vec3 c);
