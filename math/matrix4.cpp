#include "math/matrix4.h"

Matrix4 basisMatrix(Vec3 a, Vec3 b, Vec3 c) {
    Matrix4 result;
    result.m = {a.x, a.y, a.z, 0, b.x, b.y, b.z, 0, c.x, c.y, c.z, 0, 0, 0, 0, 1};
    return result;
}
