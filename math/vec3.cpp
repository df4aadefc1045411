#include "math/vec3.h"

#include <cmath>
#include <numbers>

float length(Vec3 v) {
    return std::sqrt(dot(v, v));
}

Vec3 normalize(Vec3 v) {
    const float len = length(v);
    if (len == 0)
        return v;
    return v / len;
}

void rotateAboutAxis(Vec3& v, Vec3 axis, float angleDegrees) {
    const float axisLength = length(axis);
    if (axisLength == 0)
        return;
    const Vec3 k = axis / axisLength;
    const float theta = angleDegrees * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    v = v * c - cross(k, v) * s + k * (dot(k, v) * (1 - c));
}
