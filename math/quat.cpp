#include "math/quat.h"

#include <array>
#include <cmath>

Quat quatNormalize(Quat q) {
    const float len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (len == 0)
        return q;
    return {q.x / len, q.y / len, q.z / len, q.w / len};
}

Quat quatFromMatrix(const Matrix4& m) {
    const auto at = [&m](int row, int column) { return m.m[4 * column + row]; };

    const float trace = at(0, 0) + at(1, 1) + at(2, 2);
    if (trace > 0) {
        const float root = std::sqrt(trace + 1);
        const float s = 0.5f / root;
        return {(at(2, 1) - at(1, 2)) * s, (at(0, 2) - at(2, 0)) * s, (at(1, 0) - at(0, 1)) * s, root / 2};
    }

    // The angle is near 180 degrees and w is small: derive the largest vector component first, from the
    // largest diagonal element, and the others from it, which keeps the division well conditioned.
    int i = 0;
    if (at(1, 1) > at(0, 0))
        i = 1;
    if (at(2, 2) > at(i, i))
        i = 2;
    const int j = (i + 1) % 3;
    const int k = (j + 1) % 3;

    // With trace <= 0 and at(i, i) the largest diagonal element, the radicand is at least 1 - trace / 3 >= 1,
    // so the root is never zero.
    const float root = std::sqrt(at(i, i) - (at(j, j) + at(k, k)) + 1);
    const float s = 0.5f / root;
    std::array<float, 3> v{};
    v[i] = root / 2;
    v[j] = (at(j, i) + at(i, j)) * s;
    v[k] = (at(k, i) + at(i, k)) * s;
    return {v[0], v[1], v[2], (at(k, j) - at(j, k)) * s};
}

Matrix4 quatToMatrix(Quat q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix4 result;
    // clang-format off
    result.m = {
        1 - (2 * y * y + 2 * z * z), 2 * x * y - 2 * z * w,       2 * x * z + 2 * y * w,       0,
        2 * x * y + 2 * z * w,       1 - (2 * z * z + 2 * x * x), 2 * y * z - 2 * x * w,       0,
        2 * x * z - 2 * y * w,       2 * y * z + 2 * x * w,       1 - (2 * y * y + 2 * x * x), 0,
        0,                           0,                           0,                           1,
    };
    // clang-format on
    return result;
}
