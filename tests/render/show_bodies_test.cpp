// The built show's bodies as a viewer sees them: every moon circles outside its planet whatever the world
// clock says, and every planet shows its lit side towards the Sun and its dark side away from it.
#include "app/gl_setup.h"
#include "app/show_archive.h"
#include "base/viewport.h"
#include "data/texture_registry.h"
#include "objects/camera.h"
#include "objects/mesh.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"
#include "objects/sphere.h"
#include "objects/wire_sphere.h"
#include "overlay/flat_drawing.h"
#include "scene/environment_table.h"
#include "scene/scene_director.h"
#include "scene/world_list.h"
#include "tests/app/headless/gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string showArchive = HELIOX_SHOW_ARCHIVE;

class ShowBodies : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(showArchiveReadable(showArchive, std::cerr));
        // Sizes in pixels (the flare's, the flat drawing's) follow the window the show is drawn in.
        setViewport(surfaceWidth, surfaceHeight);
        setupGL(surfaceWidth, surfaceHeight);
        ASSERT_TRUE(loadSharedMeshes(show));
        // The textures before the scripts, which take each object's texture from the registry, as a run does.
        loadTextureList(show, "texture.txt");
        ASSERT_TRUE(loadWireSphereData(show));
        loadEnvironments(show, environments, "env.txt");
        loadWorlds(show, worlds, environments, "worlds.txt");
        world = findWorld(worlds, "world");
        ASSERT_NE(world, nullptr);
        for (SceneObject* object : world->objects)
            if (auto* sphere = dynamic_cast<Sphere*>(object); sphere && !sphere->name.empty())
                bodies[sphere->name] = sphere;
    }
    void TearDown() override {
        setViewport(800, 600);
        GlTest::TearDown();
    }

    // The median red of a square at the frame's centre: the planet's own light, whatever a flash of
    // lightning or a passing moon adds to a few of its pixels.
    static int centreBrightness() {
        constexpr int half = 6;
        std::vector<std::uint8_t> pixels(4 * 4 * half * half);
        glReadPixels(surfaceWidth / 2 - half, surfaceHeight / 2 - half, 2 * half, 2 * half, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
        std::vector<int> reds;
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            reds.push_back(pixels[i]);
        std::nth_element(reds.begin(), reds.begin() + reds.size() / 2, reds.end());
        return reds[reds.size() / 2];
    }

    Show show{showArchive};
    EnvironmentTable environments;
    WorldList worlds;
    World* world = nullptr;
    std::map<std::string, Sphere*> bodies;
};

TEST_F(ShowBodies, EveryMoonCirclesOutsideItsPlanet) {
    int moons = 0;
    for (show.worldTime = 0; show.worldTime < 3600; show.worldTime += 7) {
        for (SceneObject* object : world->objects)
            object->update(show, 7);
        for (const auto& [name, sphere] : bodies) {
            if (!sphere->orbit.aroundParent)
                continue;
            ASSERT_NE(sphere->parent, nullptr) << name << " circles nothing";
            const auto* planet = static_cast<const Sphere*>(sphere->parent);
            const float gap =
                length(sphere->worldPosition() - planet->worldPosition()) - planet->radius - sphere->radius;
            ASSERT_GT(gap, 0.2f * planet->radius) << name << " at world time " << show.worldTime;
            moons += show.worldTime == 0;
        }
    }
    EXPECT_GE(moons, 10);
}

TEST_F(ShowBodies, EveryPlanetIsLitOnItsSunwardSide) {
    SceneDirector director;
    director.chooseWorld(worlds);
    int planets = 0;
    for (const auto& [name, sphere] : bodies) {
        if (sphere->orbit.aroundParent || sphere->look.selfLit || sphere->moon || sphere->look.atmosphere ||
            sphere->flash.enabled || sphere->look.depthOnly || sphere->tga || sphere->look.wireBuildUp ||
            sphere->displayList != show.meshes.sphere || sphere->radius < 400)
            continue;
        ++planets;
        // Four radii out from the centre, towards the Sun and away from it, a little off the line so the
        // Sun itself is not in view.
        const Vec3 centre = sphere->position;
        const Vec3 sunward = normalize(Vec3{0, 0, 0} - centre);
        const Vec3 aside = normalize(cross(sunward, {0, 1, 0})) * 0.15f;
        int brightness[2] = {};
        for (int side = 0; side < 2; ++side) {
            Camera& viewer = show.camera;
            viewer.position = viewer.eye =
                centre + normalize((side == 0 ? sunward : -sunward) + aside) * (4 * sphere->radius);
            viewer.forward = normalize(centre - viewer.eye);
            viewer.up = {0, -1, 0};
            // A second of show: the Sun's glare, fully open at the start, fades behind the planet.
            for (int frame = 0; frame < 20; ++frame) {
                show.worldTime += 0.05;
                director.updateObjects(show, 0.05);
                director.renderFrame(show);
            }
            brightness[side] = centreBrightness();
        }
        EXPECT_GT(brightness[0], 60) << name << " seen from the Sun's side";
        EXPECT_LT(brightness[1], 25) << name << " seen from its night side";
    }
    EXPECT_EQ(planets, 8);
}

// A body that writes no depth (the Sun) paints over everything drawn before it, translucent or not; only the
// depth an opaque body wrote keeps it off. So a translucent mesh, which writes none, must come after it, or
// the station's habitat ring vanishes whenever it stands in front of the Sun.
TEST_F(ShowBodies, EveryTranslucentMeshIsDrawnAfterTheBodiesThatWriteNoDepth) {
    std::size_t lastDepthless = 0;
    std::vector<std::size_t> translucentMeshes;
    for (std::size_t i = 0; i < world->objects.size(); ++i) {
        if (const auto* sphere = dynamic_cast<const Sphere*>(world->objects[i]);
            sphere && sphere->look.noDepthWrites)
            lastDepthless = i;
        if (const auto* mesh = dynamic_cast<const Mesh*>(world->objects[i]); mesh && mesh->blend)
            translucentMeshes.push_back(i);
    }
    ASSERT_GT(lastDepthless, 0u);
    ASSERT_FALSE(translucentMeshes.empty());
    for (std::size_t i : translucentMeshes)
        EXPECT_GT(i, lastDepthless) << static_cast<const Mesh*>(world->objects[i])->name;
}

} // namespace
