#include "tools/texgen/sky_texture.h"

#include "tools/meshgen/sphere_mesh.h"
#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr Vec3 galacticPole{0.0f, 0.8f, 0.6f};

// How much of the Milky Way's band lies at a direction: 1 on its great circle.
float inBand(Vec3 d) {
    const float offPlane = dot(d, galacticPole);
    return std::exp(-offPlane * offPlane * 40);
}

Colour milkyWay(Vec3 d) {
    const float band = inBand(d);
    const float cloud = fractalNoise(d * 4, 6, 141);
    const float dust = smoothStep(0.55f, 0.7f, fractalNoise(d * 7, 5, 142));
    const float glow = band * (0.3f + 0.7f * cloud) * (1 - 0.8f * dust * band) * 0.35f;
    return {glow * 0.9f, glow * 0.88f, glow, 1};
}

// The stars sorted into cubes of a grid over [-1, 1]³, so the stars that light a direction are found among
// those of the few cubes within a star's reach of it.
class StarGrid {
public:
    explicit StarGrid(const std::vector<Star>& stars) : stars(stars) {
        for (const Star& star : stars)
            reach = std::max(reach, star.radius * reachInRadii);
        cellSize = std::max(cellSize, reach);
        cellsAcross = static_cast<int>(2 / cellSize) + 1;
        const int cellCount = cellsAcross * cellsAcross * cellsAcross;
        std::vector<int> counts(cellCount + 1, 0);
        for (const Star& star : stars)
            ++counts[cellOf(star.direction)];
        first.assign(cellCount + 1, 0);
        for (int cell = 0; cell < cellCount; ++cell)
            first[cell + 1] = first[cell] + counts[cell];
        std::vector<int> next(first.begin(), first.end() - 1);
        order.resize(stars.size());
        for (int i = 0; i < static_cast<int>(stars.size()); ++i)
            order[next[cellOf(stars[i].direction)]++] = i;
    }

    Colour lightAt(Vec3 d) const {
        Colour light{0, 0, 0, 1};
        // Only the cubes within the widest star's reach of d, along each axis: mostly d's own.
        const std::array<int, 3> low = cellCoordinates(d - Vec3{reach, reach, reach});
        const std::array<int, 3> high = cellCoordinates(d + Vec3{reach, reach, reach});
        for (int z = low[2]; z <= high[2]; ++z)
            for (int y = low[1]; y <= high[1]; ++y)
                for (int x = low[0]; x <= high[0]; ++x) {
                    const int cell = (z * cellsAcross + y) * cellsAcross + x;
                    for (int k = first[cell]; k < first[cell + 1]; ++k) {
                        const Star& star = stars[order[k]];
                        const float distance = angleBetween(d, star.direction) / star.radius;
                        if (distance < reachInRadii)
                            light = added(light, scaled(star.colour, std::exp(-distance * distance)));
                    }
                }
        return light;
    }

private:
    // Past this many radii a star's light is below 1/500 of its centre's and is left out.
    static constexpr float reachInRadii = 2.5f;

    std::array<int, 3> cellCoordinates(Vec3 d) const {
        const auto along = [&](float value) {
            return std::clamp(static_cast<int>((value + 1) / cellSize), 0, cellsAcross - 1);
        };
        return {along(d.x), along(d.y), along(d.z)};
    }
    int cellOf(Vec3 d) const {
        const std::array<int, 3> c = cellCoordinates(d);
        return (c[2] * cellsAcross + c[1]) * cellsAcross + c[0];
    }

    const std::vector<Star>& stars;
    float reach = 0;        // of the widest star, in radians: a chord is never longer than its angle
    float cellSize = 0.02f; // at least the reach, so a star lies in few cubes' reach
    int cellsAcross = 0;
    std::vector<int> first; // stars of cell c: order[first[c]] up to order[first[c + 1]]
    std::vector<int> order;
};

Picture paintSky(int width, int height, const std::vector<Star>& stars, bool withMilkyWay) {
    const StarGrid grid(stars);
    return paintSphereForMesh(width, height, skyMeshStacks, skyMeshSlices, [&](const SpherePoint& p) {
        const Colour light = grid.lightAt(p.direction);
        return withMilkyWay ? added(milkyWay(p.direction), light) : light;
    });
}

// Stars spread evenly over the sphere, three times as dense along the Milky Way. Their brightness falls off
// steeply so a few bright ones stand out from many faint; a brighter star is a wider disc, at least about a
// texel of the equator across, so the texture filter keeps every star whole.
std::vector<Star> scatterStars(int candidates, float texelAngle) {
    std::vector<Star> stars;
    for (int i = 0; i < candidates; ++i) {
        const float z = latticeValue(i, 0, 0, 143) * 2 - 1;
        const float around = latticeValue(i, 1, 0, 143) * 2 * std::numbers::pi_v<float>;
        const float ring = std::sqrt(1 - z * z);
        const Vec3 direction{ring * std::cos(around), z, ring * std::sin(around)};
        if (latticeValue(i, 2, 0, 143) > (1 + 2 * inBand(direction)) / 3)
            continue;
        const float brightness = 0.3f + 0.7f * std::pow(latticeValue(i, 3, 0, 143), 6.0f);
        const float tint = latticeValue(i, 4, 0, 143);
        stars.push_back({direction,
                         texelAngle * (0.55f + 0.45f * brightness),
                         {brightness * (0.85f + 0.15f * tint), brightness * 0.92f,
                          brightness * (1.0f - 0.15f * tint), 1}});
    }
    return stars;
}

} // namespace

Picture paintStarfield(int width, int height) {
    const float texelAngle = 2 * std::numbers::pi_v<float> / static_cast<float>(width);
    return paintSky(width, height, scatterStars(36000, texelAngle), true);
}

Picture paintStars(int width, int height, const std::vector<Star>& stars) {
    return paintSky(width, height, stars, false);
}
