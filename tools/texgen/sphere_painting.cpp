#include "tools/texgen/sphere_painting.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Picture paintSphere(int width, int height, const std::function<Colour(const SpherePoint&)>& paint) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
        const float latitudeAngle = (0.5f - v) * std::numbers::pi_v<float>;
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            const float longitudeAngle = u * 2 * std::numbers::pi_v<float>;
            const SpherePoint point{{std::cos(latitudeAngle) * std::cos(longitudeAngle),
                                     std::sin(latitudeAngle),
                                     std::cos(latitudeAngle) * std::sin(longitudeAngle)},
                                    latitudeAngle / (std::numbers::pi_v<float> / 2),
                                    u};
            picture.at(x, y) = paint(point);
        }
    }
    return picture;
}

float angleBetween(Vec3 a, Vec3 b) {
    return std::acos(std::clamp(a.x * b.x + a.y * b.y + a.z * b.z, -1.0f, 1.0f));
}
