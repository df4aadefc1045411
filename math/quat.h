#pragma once

#include "math/matrix4.h"

// An orientation as a quaternion, stored x, y, z, w with the scalar part last. The operations do not keep it
// at unit length; only quatNormalize rescales. A Quat declared without a value is the identity rotation.
struct Quat {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 1;
};

// q divided by its four-component length. A zero quaternion is returned unchanged instead of turning into
// NaN.
Quat quatNormalize(Quat q);

// The unit quaternion of the rotation in the upper-left 3×3 of m, read in OpenGL order (row r, column c is
// m[4c + r]), so the columns of a basisMatrix are the images of the X, Y and Z axes.
Quat quatFromMatrix(const Matrix4& m);

// The rotation matrix of q, written in row order (row r, column c is m[4r + c]): the image of the X axis is
// (m[0], m[4], m[8]), that of the Z axis (m[2], m[6], m[10]). Note that this is the transpose of the order
// quatFromMatrix reads; the camera depends on exactly this pairing.
Matrix4 quatToMatrix(Quat q);
