#pragma once

// A point or direction in world units, single precision. Components start at zero so that a Vec3 declared
// without a value is a defined point (the origin) rather than stack garbage.
struct Vec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

constexpr Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vec3 operator-(Vec3 v) {
    return {-v.x, -v.y, -v.z};
}
constexpr Vec3 operator*(float s, Vec3 v) {
    return {s * v.x, s * v.y, s * v.z};
}
constexpr Vec3 operator*(Vec3 v, float s) {
    return s * v;
}
constexpr Vec3 operator/(Vec3 v, float s) {
    return {v.x / s, v.y / s, v.z / s};
}

constexpr float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

constexpr Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float length(Vec3 v);

// v scaled to unit length. A vector too short to have a measurable length is returned unchanged: the zero
// vector has no direction, and handing it back is better than spreading NaN through the scene.
Vec3 normalize(Vec3 v);

// Rotates v in place by -angleDegrees about the direction of axis (right-hand rule), which is what a row
// vector multiplied onto glRotatef(angleDegrees, axis) gives: X about +Z by 90 degrees ends on -Y. The axis
// need not be of unit length; a zero axis names no rotation and leaves v as it is.
void rotateAboutAxis(Vec3& v, Vec3 axis, float angleDegrees);
