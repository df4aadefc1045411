// The built show's bodies as a viewer sees them: every moon circles outside its planet whatever the world
// clock says, and every planet shows its lit side towards the Sun and its dark side away from it.
#include "app/gl_setup.h"
#include "app/show_archive.h"
#include "objects/shared_meshes.h"
#include "objects/sphere.h"
#include "objects/world_time.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"
#include "tests/gl/gl_test_context.h"
#include "tests/render/golden_frames.h"

#include "app/headless/png_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path showArchive = HELIOX_SHOW_ARCHIVE;

class ShowBodies : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(useShowArchive(showArchive.string(), std::cerr));
        setupGL(surfaceWidth, surfaceHeight);
        ASSERT_TRUE(loadSharedMeshes());
        loadEnvironments(environments, "env.txt");
        loadWorlds(worlds, environments, "worlds.txt");
        world = findWorld(worlds, "world");
        ASSERT_NE(world, nullptr);
        for (SceneObject* object : world->objects)
            if (auto* sphere = dynamic_cast<Sphere*>(object); sphere && !sphere->name.empty())
                bodies[sphere->name] = sphere;
    }
    void TearDown() override {
        worldTime = 0;
        GlTest::TearDown();
    }

    EnvironmentTable environments;
    WorldList worlds;
    World* world = nullptr;
    std::map<std::string, Sphere*> bodies;
};

Vec3 worldPosition(const Sphere& sphere) {
    return sphere.sys && sphere.parent ? sphere.position + sphere.parent->position : sphere.position;
}

TEST_F(ShowBodies, EveryMoonCirclesOutsideItsPlanet) {
    int moons = 0;
    for (worldTime = 0; worldTime < 3600; worldTime += 7) {
        for (SceneObject* object : world->objects)
            object->update(7);
        for (const auto& [name, sphere] : bodies) {
            if (!sphere->sys)
                continue;
            ASSERT_NE(sphere->parent, nullptr) << name << " circles nothing";
            const auto* planet = static_cast<const Sphere*>(sphere->parent);
            const float gap = length(worldPosition(*sphere) - worldPosition(*planet)) - planet->radius -
                              sphere->radius;
            ASSERT_GT(gap, 0.2f * planet->radius) << name << " at world time " << worldTime;
            moons += worldTime == 0;
        }
    }
    EXPECT_GE(moons, 10);
}

// Mean red of a small square at the frame's centre.
int centreBrightness(const fs::path& frame) {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    std::string error;
    if (!readPng(frame.string(), width, height, rgba, error))
        return -1;
    int sum = 0;
    for (int y = height / 2 - 2; y < height / 2 + 2; ++y)
        for (int x = width / 2 - 2; x < width / 2 + 2; ++x)
            sum += rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    return sum / 16;
}

TEST_F(ShowBodies, EveryPlanetIsLitOnItsSunwardSide) {
    const fs::path folder = fs::temp_directory_path() / "heliox-show-bodies";
    int planets = 0;
    for (const auto& [name, sphere] : bodies) {
        if (sphere->sys || sphere->light || sphere->moon || sphere->atmo || sphere->flash || sphere->mask ||
            sphere->tga || sphere->wire || sphere->displayList != sphereMesh || sphere->radius < 400)
            continue;
        ++planets;
        // Four radii out from the centre, towards the Sun and away from it, a little off the line so the
        // Sun itself is not in view.
        const Vec3 centre = sphere->position;
        const Vec3 sunward = normalize(Vec3{0, 0, 0} - centre);
        const Vec3 aside = normalize(cross(sunward, {0, 1, 0})) * 0.15f;
        char camera[200];
        int brightness[2] = {};
        for (int side = 0; side < 2; ++side) {
            const Vec3 eye = centre + normalize((side == 0 ? sunward : -sunward) + aside) * (4 * sphere->radius);
            std::snprintf(camera, sizeof camera, "--camera %g,%g,%g:%g,%g,%g", eye.x, eye.y, eye.z, centre.x,
                          centre.y, centre.z);
            const RenderRun run = renderShow(showArchive, folder, std::string("--frames 20 --dt 0.05 --size 64x48 ") + camera);
            ASSERT_EQ(run.exitCode, 0) << run.output;
            // The last frame: the Sun's glare, fully open at the start, has had time to fade behind the planet.
            ASSERT_EQ(run.frames.size(), 20u);
            brightness[side] = centreBrightness(run.frames.back());
        }
        EXPECT_GT(brightness[0], 60) << name << " seen from the Sun's side";
        EXPECT_LT(brightness[1], 25) << name << " seen from its night side";
    }
    EXPECT_EQ(planets, 8);
    fs::remove_all(folder);
}

} // namespace
