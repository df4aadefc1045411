#include "objects/view_culling.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

bool unitSphereOutsideView() {
    // Column-major, as GL keeps them: element (row r, column c) is at [c * 4 + r].
    std::array<GLfloat, 16> modelView{};
    std::array<GLfloat, 16> projection{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());

    // The sphere's centre in eye space, and its radius there: the longest of the three transformed axes, so
    // that any scale or shear keeps the bound conservative.
    const float centre[4] = {modelView[12], modelView[13], modelView[14], 1};
    float radius = 0;
    for (int axis = 0; axis < 3; ++axis)
        radius = std::max(radius,
                          std::hypot(modelView[axis * 4], modelView[axis * 4 + 1], modelView[axis * 4 + 2]));

    // The clip-space planes w ± x, w ± y and w + z, written as planes of eye space: row 3 ± row r of the
    // projection. A point is inside when every plane's value is positive.
    auto row = [&](int r, int c) { return projection[c * 4 + r]; };
    for (int r = 0; r < 3; ++r)
        for (float sign : {1.0f, -1.0f}) {
            if (r == 2 && sign < 0)
                continue; // the far plane stands at 5 000 000 units: nothing of the show lies past it
            float plane[4];
            for (int c = 0; c < 4; ++c)
                plane[c] = row(3, c) + sign * row(r, c);
            const float length = std::hypot(plane[0], plane[1], plane[2]);
            if (length == 0)
                continue;
            const float distance =
                plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3] * centre[3];
            if (distance < -radius * length)
                return true;
        }
    return false;
}
