#include "tools/texgen/sphere_painting.h"

#include "tools/meshgen/sphere_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float pi = std::numbers::pi_v<float>;

SpherePoint pointAt(Vec3 direction) {
    float longitude = std::atan2(-direction.z, direction.x) / (2 * pi);
    if (longitude < 0)
        longitude += 1;
    return {direction, std::asin(std::clamp(direction.y, -1.0f, 1.0f)) / (pi / 2), longitude};
}

template <typename DirectionOfTexel>
Picture paintTexels(int width, int height, const SpherePaint& paint, DirectionOfTexel directionOf) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        const float v = 1 - (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            picture.at(x, y) = paint(pointAt(directionOf(u, v)));
        }
    }
    return picture;
}

} // namespace

Picture paintSphere(int width, int height, const SpherePaint& paint) {
    return paintTexels(width, height, paint, [](float u, float v) {
        const float latitude = (v - 0.5f) * pi;
        const float around = u * 2 * pi;
        return Vec3{std::cos(latitude) * std::cos(around), std::sin(latitude),
                    -std::cos(latitude) * std::sin(around)};
    });
}

Picture paintSphereForMesh(int width, int height, int stacks, int slices, const SpherePaint& paint) {
    return paintTexels(width, height, paint, [&](float u, float v) {
        return normalize(unitSphereSurfacePoint(u, v, stacks, slices));
    });
}

float angleBetween(Vec3 a, Vec3 b) {
    return std::acos(std::clamp(a.x * b.x + a.y * b.y + a.z * b.z, -1.0f, 1.0f));
}
