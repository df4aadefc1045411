#include "math/interpolation.h"

#include <cmath>

Quat slerp(Quat a, Quat b, float t) {
    // In double precision, so that the choice of branch near the threshold does not depend on float rounding.
    double d = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
    if (d < 0) {
        b = {-b.x, -b.y, -b.z, -b.w};
        d = -d;
    }

    float wa = 1 - t;
    float wb = t;
    if (1 - d > 0.1) {
        // Here 0 <= d < 0.9, so sin(theta) is well away from zero.
        const double theta = std::acos(d);
        const double sinTheta = std::sin(theta);
        wa = float(std::sin((1 - t) * theta) / sinTheta);
        wb = float(std::sin(t * theta) / sinTheta);
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Quat quatBezier(Quat q0, Quat c0, Quat c1, Quat q1, float t) {
    const Quat a = slerp(q0, c0, t);
    const Quat b = slerp(c0, c1, t);
    const Quat c = slerp(c1, q1, t);
    const Quat d = slerp(a, b, t);
    const Quat e = slerp(b, c, t);
    return slerp(d, e, t);
}

Vec3 hermite(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float h00 = 2 * t3 - 3 * t2 + 1;
    const float h10 = t3 - 2 * t2 + t;
    const float h01 = -2 * t3 + 3 * t2;
    const float h11 = t3 - t2;
    return h00 * p0 + h10 * m0 + h01 * p1 + h11 * m1;
}
