// How often the travelling camera passes inside a body of the show, and how often it comes close to one: the
// camera and the world's objects are stepped as the saver run steps them, for hours of show time, without
// drawing. camera_pass_bench [ARCHIVE] [HOURS] [SEEDS]
// A pass inside is the camera's point coming within a body's radius (plus the near plane, where the body's
// surface is cut open); a close pass is coming within four radii without going inside.
#include "app/gl_setup.h"
#include "app/headless/gl_context.h"
#include "app/saver_run.h"
#include "app/show_archive.h"
#include "math/random.h"
#include "objects/camera.h"
#include "objects/shared_meshes.h"
#include "objects/sphere.h"
#include "objects/world_time.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

namespace {

constexpr double frameStep = 1.0 / 30;
constexpr double speedFactor = 1.5; // the default Speed, 50
constexpr float nearPlane = 80;

struct Passes {
    float radius = 0;
    int inside = 0;
    int close = 0;
    bool wasInside = false;
    bool wasClose = false;
};

} // namespace

int main(int argc, char** argv) {
    const std::string archive = argc > 1 ? argv[1] : HELIOX_SHOW_ARCHIVE;
    const double hours = argc > 2 ? std::atof(argv[2]) : 4;
    const int seeds = argc > 3 ? std::atoi(argv[3]) : 4;
    auto context = HeadlessGlContext::create(64, 64);
    if (!context || !useShowArchive(archive, std::cerr))
        return 1;
    setupGL(64, 64);
    loadSharedMeshes();
    EnvironmentTable environments;
    WorldList worlds;
    loadEnvironments(environments, "env.txt");
    loadWorlds(worlds, environments, "worlds.txt");
    World* world = findWorld(worlds, "world");
    if (!world) {
        std::fprintf(stderr, "camera_pass_bench: the show has no world named \"world\"\n");
        return 1;
    }

    std::map<std::string, Passes> bodies;
    for (int seed = 1; seed <= seeds; ++seed) {
        seedRandom(static_cast<std::uint32_t>(seed));
        worldTime = 0;
        camera.position = {0, 0, 1500};
        camera.makePath();
        for (double t = 0; t < hours * 3600; t += frameStep) {
            camera.update(frameStep * speedFactor);
            worldTime += frameStep;
            for (SceneObject* object : world->objects) {
                object->update(frameStep);
                const auto* sphere = dynamic_cast<const Sphere*>(object);
                // Bodies only: not the sky, the shells drawn over a body (air, clouds, lightning, the Sun's
                // mask) nor the rings, which share their planet's place.
                if (!sphere || sphere->env || sphere->atmo || sphere->flash || sphere->mask || sphere->tga ||
                    (sphere->displayList != sphereMesh && sphere->displayList != noisedSphereMesh) ||
                    sphere->name.empty())
                    continue;
                Passes& p = bodies[sphere->name];
                p.radius = sphere->radius;
                const float distance = length(camera.position - sphere->worldPosition());
                const bool inside = distance < sphere->radius + nearPlane;
                const bool close = !inside && distance < 4 * sphere->radius;
                p.inside += inside && !p.wasInside;
                p.close += close && !p.wasClose && !p.wasInside;
                p.wasInside = inside;
                p.wasClose = close || inside;
            }
        }
    }
    const double showHours = hours * seeds;
    std::printf("%.0f hours of show (%d seeds), default speed\n", showHours, seeds);
    std::printf("%-14s %8s %14s %14s\n", "body", "radius", "inside per h", "close per h");
    int inside = 0, close = 0;
    for (const auto& [name, p] : bodies) {
        std::printf("%-14s %8.0f %14.2f %14.2f\n", name.c_str(), p.radius, p.inside / showHours,
                    p.close / showHours);
        inside += p.inside;
        close += p.close;
    }
    std::printf("%-14s %8s %14.2f %14.2f\n", "all", "", inside / showHours, close / showHours);
    std::printf("one pass inside a body every %.1f minutes of show\n",
                inside ? showHours * 60 / inside : 0.0);
    return 0;
}
