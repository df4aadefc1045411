#include "app/linux/preview_picture.h"

#include "app/linux/scaled_frame.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
    double r = 0, g = 0, b = 0;
};

void add(Colour& c, double r, double g, double b) {
    c.r += r;
    c.g += g;
    c.b += b;
}

// The Sun's disc and its glow, bright at the centre and fading as the square of the distance.
void paintSun(Colour& c, double x, double y) {
    constexpr double cx = 26, cy = 50, radius = 17;
    const double d = std::hypot(x - cx, y - cy);
    if (d < radius) {
        add(c, 1.0, 0.95 - 0.25 * d / radius, 0.6 - 0.45 * d / radius);
        return;
    }
    const double glow = std::pow(radius / d, 2.0);
    add(c, glow * 0.9, glow * 0.55, glow * 0.15);
}

// A blue planet lit from the Sun's side; its far side stays dark against the sky.
bool paintPlanet(Colour& c, double x, double y) {
    constexpr double cx = 112, cy = 68, radius = 18;
    const double dx = (x - cx) / radius, dy = (y - cy) / radius;
    const double rr = dx * dx + dy * dy;
    if (rr >= 1)
        return false;
    const double dz = std::sqrt(1 - rr);
    // The light comes from the Sun, to the left and a little above.
    const double lx = -0.92, ly = -0.2, lz = 0.34;
    const double light = std::max(0.0, dx * lx + dy * ly + dz * lz);
    const double bands = 0.85 + 0.15 * std::sin(dy * 9.0);
    c = {0.12 * light * bands, 0.35 * light * bands, 0.9 * light * bands};
    return true;
}

// A few stars at places that are the same on every run.
bool isStar(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h % 97 == 0;
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
}

} // namespace

std::vector<std::uint8_t> previewPicture(int width, int height) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    // Painted at any size from the same shapes: each pixel's centre, in the picture's own coordinates.
    const double scaleX = static_cast<double>(previewPictureWidth) / width;
    const double scaleY = static_cast<double>(previewPictureHeight) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double px = (x + 0.5) * scaleX, py = (y + 0.5) * scaleY;
            Colour c;
            if (!paintPlanet(c, px, py)) {
                if (isStar(static_cast<int>(px), static_cast<int>(py)))
                    add(c, 0.8, 0.8, 0.85);
                paintSun(c, px, py);
            }
            rgb.push_back(toByte(c.r));
            rgb.push_back(toByte(c.g));
            rgb.push_back(toByte(c.b));
        }
    return rgb;
}

std::vector<std::uint8_t> previewPictureIn(int windowWidth, int windowHeight) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(windowWidth) * windowHeight * 3, 0);
    if (windowWidth <= 0 || windowHeight <= 0)
        return rgb;
    const FittedArea area = fitPicture(previewPictureWidth, previewPictureHeight, windowWidth, windowHeight);
    if (area.width <= 0 || area.height <= 0)
        return rgb;
    const std::vector<std::uint8_t> picture = previewPicture(area.width, area.height);
    const std::size_t row = static_cast<std::size_t>(area.width) * 3;
    for (int y = 0; y < area.height; ++y)
        std::copy_n(&picture[y * row], row,
                    &rgb[(static_cast<std::size_t>(area.y + y) * windowWidth + area.x) * 3]);
    return rgb;
}
