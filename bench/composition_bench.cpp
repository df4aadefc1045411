// What the travelling camera shows of the planets and moons: the camera and the world's objects are stepped
// as the saver run steps them, for hours of show time, without drawing. composition_bench [ARCHIVE] [HOURS]
// [SEEDS]
//
// Each frame, the bodies are cast against a grid of rays through a 16:9 picture as the scene's projection
// frames it (half its height at distance 1 is 0.5), the nearest body taking each ray, so a body behind the
// Sun or behind another body counts only for what shows of it. The figures are the share of frames in which
// some planet or moon covers at least 1 % and at least 10 % of the picture, how often the camera passes
// inside a body (within its radius plus the near plane, where its surface is cut open), and where the Sun
// sits in the picture.
#include "app/gl_setup.h"
#include "app/headless/gl_context.h"
#include "app/show_archive.h"
#include "math/random.h"
#include "objects/camera.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"
#include "objects/sphere.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double frameStep = 1.0 / 30;
constexpr double speedFactor = 1.5; // the default Speed, 50
constexpr float nearPlane = 80;
constexpr float halfHeight = 0.5f; // the scene's frustum: ±40 at the near plane, 80 away
constexpr float aspect = 16.0f / 9.0f;
constexpr int raysAcross = 96;
constexpr int raysDown = 54;

struct Body {
    const Sphere* sphere;
    bool counted; // a planet or a moon; the Sun only hides what lies behind it
};

struct BodyFigures {
    float radius = 0;
    int inside = 0;
    bool wasInside = false;
    long framesAtOnePercent = 0;
};

// Bodies only: not the sky, the shells drawn over a body (air, clouds, lightning, the Sun's mask), the rings,
// which share their planet's place, nor the probe's build-up.
bool isBody(const Show& show, const Sphere& s) {
    return !s.look.sky && !s.look.atmosphere && !s.flash.enabled && !s.look.depthOnly && !s.tga &&
           !s.look.wireBuildUp && !s.name.empty() &&
           (s.displayList == show.meshes.sphere || s.displayList == show.meshes.noisedSphere);
}

struct View {
    Vec3 eye, forward, side, up;
};

View viewOf(const Camera& c) {
    const Vec3 forward = normalize(c.forward);
    const Vec3 side = normalize(cross(forward, c.up));
    return {c.eye, forward, side, cross(side, forward)};
}

// The distance along a ray (eye + t·direction) to where it first meets the sphere, or a negative number.
float hitDistance(Vec3 eye, Vec3 direction, Vec3 centre, float radius) {
    const Vec3 toCentre = centre - eye;
    const float a = dot(direction, direction);
    const float b = dot(toCentre, direction);
    const float c = dot(toCentre, toCentre) - radius * radius;
    const float discriminant = b * b - a * c;
    if (discriminant < 0)
        return -1;
    const float root = std::sqrt(discriminant);
    const float t = (b - root) / a;
    return t > 0 ? t : (b + root) / a;
}

// How much of the picture each counted body covers, as a share of the rays, bodies nearer the eye hiding
// those behind. Frames where no counted body could reach `floorShare` are not cast: they cover less anyway.
std::vector<float> pictureShares(const View& view, const std::vector<Body>& bodies, float floorShare) {
    std::vector<float> shares(bodies.size(), 0);
    const float pictureArea = 4 * halfHeight * halfHeight * aspect;
    std::vector<std::size_t> near;
    bool worthCasting = false;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const Vec3 centre = bodies[i].sphere->worldPosition() - view.eye;
        const float depth = dot(centre, view.forward);
        const float radius = bodies[i].sphere->radius;
        if (depth < -radius)
            continue;
        near.push_back(i);
        const bool around = length(centre) <= radius;
        const float discArea = std::numbers::pi_v<float> * radius * radius / std::max(depth * depth, 1.0f);
        if (bodies[i].counted && (around || discArea >= floorShare * pictureArea))
            worthCasting = true;
    }
    if (!worthCasting)
        return shares;
    for (int row = 0; row < raysDown; ++row) {
        const float y = halfHeight * (2 * (static_cast<float>(row) + 0.5f) / raysDown - 1);
        for (int column = 0; column < raysAcross; ++column) {
            const float x = halfHeight * aspect * (2 * (static_cast<float>(column) + 0.5f) / raysAcross - 1);
            const Vec3 direction = view.forward + view.side * x + view.up * y;
            float nearest = 0;
            std::size_t taker = bodies.size();
            for (std::size_t i : near) {
                const float t = hitDistance(view.eye, direction, bodies[i].sphere->worldPosition(),
                                            bodies[i].sphere->radius);
                if (t > 0 && (taker == bodies.size() || t < nearest)) {
                    nearest = t;
                    taker = i;
                }
            }
            if (taker < bodies.size() && bodies[taker].counted)
                shares[taker] += 1.0f / (raysAcross * raysDown);
        }
    }
    return shares;
}

} // namespace

int main(int argc, char** argv) {
    const std::string archive = argc > 1 ? argv[1] : HELIOX_SHOW_ARCHIVE;
    const double hours = argc > 2 ? std::atof(argv[2]) : 1;
    const int seeds = argc > 3 ? std::atoi(argv[3]) : 3;
    auto context = HeadlessGlContext::create(64, 64);
    if (!context || !showArchiveReadable(archive, std::cerr))
        return 1;
    setupGL(64, 64);
    Show show(archive);
    loadSharedMeshes(show);
    EnvironmentTable environments;
    WorldList worlds;
    loadEnvironments(show, environments, "env.txt");
    loadWorlds(show, worlds, environments, "worlds.txt");
    World* world = findWorld(worlds, "world");
    if (!world) {
        std::fprintf(stderr, "composition_bench: the show has no world named \"world\"\n");
        return 1;
    }

    std::vector<Body> bodies;
    for (SceneObject* object : world->objects)
        if (const auto* sphere = dynamic_cast<const Sphere*>(object); sphere && isBody(show, *sphere))
            bodies.push_back({sphere, !sphere->look.selfLit});

    std::map<std::string, BodyFigures> figures;
    long frames = 0, framesAtOnePercent = 0, framesAtTenPercent = 0;
    std::vector<float> sunOffsets;
    std::vector<float> sunDistances;
    for (int seed = 1; seed <= seeds; ++seed) {
        seedRandom(static_cast<std::uint32_t>(seed));
        Camera& camera = show.camera;
        show.worldTime = 0;
        camera.position = {0, 0, 1500};
        camera.makePath();
        for (double t = 0; t < hours * 3600; t += frameStep) {
            camera.update(frameStep * speedFactor);
            show.worldTime += frameStep;
            for (SceneObject* object : world->objects)
                object->update(show, frameStep);
            const View view = viewOf(camera);
            sunDistances.push_back(length(view.eye));
            const std::vector<float> shares = pictureShares(view, bodies, 0.01f);
            float largest = 0;
            for (std::size_t i = 0; i < bodies.size(); ++i) {
                const Sphere& s = *bodies[i].sphere;
                if (!bodies[i].counted) {
                    const Vec3 toSun = s.worldPosition() - view.eye;
                    const float depth = dot(toSun, view.forward);
                    if (depth > 0)
                        sunOffsets.push_back(std::hypot(dot(toSun, view.side) / (depth * halfHeight * aspect),
                                                        dot(toSun, view.up) / (depth * halfHeight)));
                    continue;
                }
                BodyFigures& f = figures[s.name];
                f.radius = s.radius;
                const bool inside = length(view.eye - s.worldPosition()) < s.radius + nearPlane;
                f.inside += inside && !f.wasInside;
                f.wasInside = inside;
                f.framesAtOnePercent += shares[i] >= 0.01f;
                largest = std::max(largest, shares[i]);
            }
            ++frames;
            framesAtOnePercent += largest >= 0.01f;
            framesAtTenPercent += largest >= 0.10f;
        }
    }

    const double showHours = hours * seeds;
    std::printf("%.1f hours of show (%d seeds), default speed, a 16:9 picture\n", showHours, seeds);
    std::printf("%-14s %8s %14s %14s\n", "body", "radius", "inside per h", "1 %+ frames");
    int inside = 0;
    for (const auto& [name, f] : figures) {
        std::printf("%-14s %8.0f %14.2f %13.1f%%\n", name.c_str(), f.radius, f.inside / showHours,
                    100.0 * static_cast<double>(f.framesAtOnePercent) / static_cast<double>(frames));
        inside += f.inside;
    }
    const auto share = [&](long n) { return 100.0 * static_cast<double>(n) / static_cast<double>(frames); };
    std::printf("frames where a planet or moon covers 1 %% of the picture or more:  %5.1f %% (target: 33 %% "
                "or more)\n",
                share(framesAtOnePercent));
    std::printf("frames where a planet or moon covers 10 %% of the picture or more: %5.1f %% (target: 5 %% "
                "or more)\n",
                share(framesAtTenPercent));
    if (inside)
        std::printf(
            "passes inside a body: %d, one every %.1f hours of show (target: fewer than one in two hours)\n",
            inside, showHours / inside);
    else
        std::printf(
            "passes inside a body: none in %.1f hours of show (target: fewer than one in two hours)\n",
            showHours);
    if (!sunOffsets.empty()) {
        std::sort(sunOffsets.begin(), sunOffsets.end());
        std::printf("the Sun's centre from the picture's centre, in half-picture units: median %.2f, "
                    "95th percentile %.2f\n",
                    sunOffsets[sunOffsets.size() / 2], sunOffsets[sunOffsets.size() * 95 / 100]);
    }
    std::sort(sunDistances.begin(), sunDistances.end());
    const auto at = [&](double fraction) {
        return sunDistances[static_cast<std::size_t>(fraction *
                                                     static_cast<double>(sunDistances.size() - 1))];
    };
    std::printf("the camera's distance from the Sun: least %.0f, 1st percentile %.0f, median %.0f, "
                "99th percentile %.0f, most %.0f\n",
                at(0), at(0.01), at(0.5), at(0.99), at(1));
    return 0;
}
