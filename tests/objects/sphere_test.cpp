#include "objects/show.h"
#include "objects/sphere.h"

#include "app/gl_setup.h"
#include "base/viewport.h"
#include "gl/draw_state.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "objects/shared_meshes.h"
#include "objects/wire_sphere.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/math/expect_near.h"
#include "tests/objects/test_meshes.h"
#include "tools/meshgen/mesh_file_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace {

// The spheres of `script`, read as the saver reads an object script.
// The show's files become an archive holding the script and `members`; the show keeps the spheres.
std::vector<Sphere*> readSpheres(Show& show, std::string_view script, ArchiveMembers members = {}) {
    members.emplace_back("s.txt", text(script));
    TestArchive archive(members);
    show.files = ShowFiles(archive.path());
    ObjectList list;
    EXPECT_TRUE(readObjectScript(show, list, "s.txt"));
    std::vector<Sphere*> spheres;
    for (SceneObject* object : list)
        spheres.push_back(static_cast<Sphere*>(object));
    return spheres;
}

Sphere* readSphere(Show& show, std::string_view block) {
    std::vector<Sphere*> spheres =
        readSpheres(show, "sphere\nbegin\n" + std::string(block) + "end\nENDWORLD\n");
    return spheres.size() == 1 ? spheres[0] : nullptr;
}

// The octahedron with every face wound counter-clockwise seen from outside, as culling expects.
MeshData outwardOctahedron() {
    MeshData mesh = octahedronMesh();
    for (MeshFace& face : mesh.faces) {
        const Vec3 a = mesh.vertices[face.vertices[0]];
        const Vec3 b = mesh.vertices[face.vertices[1]];
        const Vec3 c = mesh.vertices[face.vertices[2]];
        if (dot(cross(b - a, c - a), a) < 0) {
            std::swap(face.vertices[1], face.vertices[2]);
            std::swap(face.normals[1], face.normals[2]);
        }
    }
    return mesh;
}

bool isFinite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The shared display lists have distinct made-up names while a parsing test runs, so the test can tell which
// one a sphere took.
class SphereParsing : public ::testing::Test {
protected:
    void SetUp() override {
        show.meshes.env = 11;
        show.meshes.sphere = 12;
        show.meshes.noisedSphere = 13;
        show.meshes.atmosphere = 14;
        show.meshes.geometry = 15;
    }

    Show show;
};

} // namespace

TEST_F(SphereParsing, ReadsEveryFieldAndKeepsDefaultsForAbsentLines) {
    std::vector<Sphere*> spheres =
        readSpheres(show, "sphere\nbegin Earth\nend\n"
                          "sphere\nbegin VeryLongPlanetName\n"
                          "radius 640\nFOV 0.7\nalpha 0.5\ntiling 3\ndetiling 45\n"
                          "period 30\ngeo\nlight\nspecular\ndepth\nwire\nsys\nuranmoon\n"
                          "plt\nmask\nrnd\nrotation V(0 0 1) 10 0.5\n"
                          "orient V(0 1 0) 30\ncolor V(0.5 0.25 1)\nparent Earth\n"
                          "texture clouds.jpg\nend\nENDWORLD\n");
    ASSERT_EQ(spheres.size(), 2u);
    const Sphere& plain = *spheres[0];
    EXPECT_EQ(plain.name, "Earth");
    EXPECT_EQ(plain.displayList, 12u);
    EXPECT_EQ(plain.radius, 5);
    EXPECT_EQ(plain.spinSpeed, 0.2f);
    EXPECT_EQ(plain.period, 365);
    EXPECT_EQ(plain.orientAngle, 90);
    expectNear(plain.orientAxis, {1, 0, 0}, 1e-3f);
    expectNear(plain.rotationAxis, {0, 1, 0}, 1e-3f);
    EXPECT_TRUE(plain.orbit.aroundSun);
    EXPECT_FALSE(plain.textured);
    EXPECT_EQ(plain.flash.timer, 1);
    EXPECT_FALSE(plain.flash.shining);

    const Sphere& full = *spheres[1];
    EXPECT_EQ(full.name, "VeryLongPlanet"); // cut to 14 characters
    EXPECT_EQ(full.radius, 640);
    EXPECT_EQ(full.fov, 0.7f);
    EXPECT_EQ(full.alpha, 0.5f);
    EXPECT_EQ(full.tiling, 3);
    EXPECT_EQ(full.detiling, 45);
    EXPECT_EQ(full.period, 30);
    EXPECT_TRUE(full.look.selfLit && full.look.specular && full.look.noDepthWrites && full.look.wireBuildUp &&
                full.orbit.aroundParent && full.orbit.axisFromSun && full.orbit.eccentric &&
                full.look.depthOnly && full.flash.random);
    EXPECT_FALSE(full.look.sky || full.look.atmosphere || full.flash.enabled || full.moon);
    expectNear(full.rotationAxis, {0, 0, 1}, 1e-3f);
    EXPECT_EQ(full.spinAngle, 10);
    EXPECT_EQ(full.spinSpeed, 0.5f);
    expectNear(full.orientAxis, {0, 1, 0}, 1e-3f);
    EXPECT_EQ(full.orientAngle, 30);
    expectNear(full.color, {0.5f, 0.25f, 1}, 1e-3f);
    EXPECT_EQ(full.parent, spheres[0]);
    EXPECT_TRUE(full.textured);
    EXPECT_FALSE(full.tga);
}

TEST_F(SphereParsing, ModeLinesChooseTheDisplayListTheLastOneWins) {
    EXPECT_EQ(readSphere(show, "env\n")->displayList, 11u);
    EXPECT_EQ(readSphere(show, "env\n")->spinSpeed, 0);
    EXPECT_EQ(readSphere(show, "noised\n")->displayList, 13u);
    EXPECT_EQ(readSphere(show, "atmo\n")->displayList, 14u);
    EXPECT_EQ(readSphere(show, "list\n")->displayList, 15u);
    EXPECT_EQ(readSphere(show, "noised\ngeo\n")->displayList, 12u);
    // A rotation after "env" gives the sky its spin back.
    EXPECT_EQ(readSphere(show, "env\nrotation V(0 1 0) 0 3\n")->spinSpeed, 3);
}

TEST_F(SphereParsing, PositionIsShiftedUnlessOrbitComesFirst) {
    const Sphere* shifted = readSphere(show, "position V(2500 10 20)\n");
    expectNear(shifted->homePosition, {500, 10, 20}, 1e-3f);
    expectNear(shifted->position, {500, 10, 20}, 1e-3f);
    EXPECT_TRUE(shifted->orbit.aroundSun);

    const Sphere* orbitFirst = readSphere(show, "orbit\nposition V(2500 10 20)\n");
    expectNear(orbitFirst->homePosition, {2500, 10, 20}, 1e-3f);
    EXPECT_FALSE(orbitFirst->orbit.aroundSun);

    const Sphere* orbitAfter = readSphere(show, "position V(2500 10 20)\norbit\n");
    expectNear(orbitAfter->homePosition, {500, 10, 20}, 1e-3f);
    EXPECT_FALSE(orbitAfter->orbit.aroundSun);

    // A position line without three numbers moves nothing, and is not shifted twice by a later line.
    const Sphere* broken = readSphere(show, "position V(2500 10)\n");
    expectNear(broken->homePosition, {0, 0, 0}, 1e-3f);
}

TEST_F(SphereParsing, MoonsSlowDownAndFlashesStartOutOfStepWithinAScript) {
    const std::string script = "sphere\nbegin\nmoon\nflash\nend\n"
                               "sphere\nbegin\nmoon\nflash\nend\n"
                               "sphere\nbegin\nmoon\nflash\nend\n"
                               "sphere\nbegin\nflash\nend\nENDWORLD\n";
    std::vector<Sphere*> spheres = readSpheres(show, script);
    ASSERT_EQ(spheres.size(), 4u);
    EXPECT_EQ(spheres[0]->moonSpeed, 2);
    EXPECT_EQ(spheres[1]->moonSpeed, 1.5f);
    EXPECT_EQ(spheres[2]->moonSpeed, 1.125f);
    EXPECT_EQ(spheres[3]->moonSpeed, 0.5f); // no "moon" line: the default

    const bool expectedOn[] = {true, true, false, false};
    const float expectedTimer[] = {0, 0.25f, 0, 0.25f};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(spheres[i]->flash.enabled);
        EXPECT_EQ(spheres[i]->flash.shining, expectedOn[i]);
        EXPECT_NEAR(spheres[i]->flash.timer, expectedTimer[i], 1e-6);
        EXPECT_EQ(spheres[i]->flash.period, 0.5f);
    }

    // The next script starts afresh.
    std::vector<Sphere*> again = readSpheres(show, script);
    EXPECT_EQ(again[0]->moonSpeed, 2);
    EXPECT_TRUE(again[0]->flash.shining);
    EXPECT_EQ(again[0]->flash.timer, 0);

    // Each moon starts where its rotation line puts it, not all of them on one line, and keeps its speed.
    std::vector<Sphere*> moons =
        readSpheres(show, "sphere\nbegin\nmoon\nrotation V(0 1 0) 90 0\nend\n"
                          "sphere\nbegin\nmoon\nrotation V(0 1 0) 180 0\nend\nENDWORLD\n");
    ASSERT_EQ(moons.size(), 2u);
    show.worldTime = 10;
    for (Sphere* moon : moons)
        moon->update(show, 0.1);
    EXPECT_NEAR(moons[0]->moonAngle, 90 + 10 * 2, 1e-3);
    EXPECT_NEAR(moons[1]->moonAngle, 180 + 10 * 1.5f, 1e-3);
    show.worldTime = 0;
}

TEST_F(SphereParsing, ATgaTextureCarriesOverToTheNextSpheresUntilAnotherTexture) {
    std::vector<Sphere*> spheres = readSpheres(show, "sphere\nbegin\ntexture clouds.tga\nend\n"
                                                     "sphere\nbegin\nend\n"
                                                     "sphere\nbegin\natmo\nend\n"
                                                     "sphere\nbegin\nend\n"
                                                     "sphere\nbegin\ntexture earth.jpg\nend\n"
                                                     "sphere\nbegin\nend\nENDWORLD\n");
    ASSERT_EQ(spheres.size(), 6u);
    EXPECT_TRUE(spheres[0]->tga);
    EXPECT_TRUE(spheres[1]->tga);
    EXPECT_FALSE(spheres[1]->textured);
    EXPECT_FALSE(spheres[2]->tga); // an atmosphere is never drawn as a TGA...
    EXPECT_TRUE(spheres[3]->tga);  // ...but does not end the carry-over
    EXPECT_FALSE(spheres[4]->tga);
    EXPECT_FALSE(spheres[5]->tga);
}

TEST_F(SphereParsing, AnUnfinishedBlockMakesNoSphere) {
    EXPECT_TRUE(readSpheres(show, "sphere\nbegin\nradius 7\n").empty());
    EXPECT_TRUE(readSpheres(show, "sphere\n").empty());
}

TEST(SphereUpdate, SpinWrapsOnceAndOrbitsFollowTheWorldClock) {
    Show show;
    Sphere sphere;
    sphere.spinAngle = 350;
    sphere.spinSpeed = 20;
    sphere.update(show, 1);
    EXPECT_NEAR(sphere.spinAngle, 10, 1e-4);
    sphere.spinSpeed = 800; // faster than a turn per step: only one turn is taken off
    sphere.update(show, 1);
    EXPECT_NEAR(sphere.spinAngle, 450, 1e-3);

    // At world time 0 an orbiting sphere stands at its home position.
    Sphere planet;
    planet.homePosition = {1000, 0, 0};
    planet.update(show, 0.1);
    expectNear(planet.position, {1000, 0, 0}, 1e-3f);

    show.worldTime = 18.25; // period 365: 5000 / 365 × 18.25 = 250 degrees
    planet.update(show, 0.1);
    Vec3 expected = planet.homePosition;
    rotateAboutAxis(expected, {0, 1, 0}, 250);
    expectNear(planet.position, expected, 1e-3f);

    Sphere selfLit; // "light" spheres never orbit
    selfLit.look.selfLit = true;
    selfLit.homePosition = {1000, 0, 0};
    selfLit.position = {7, 8, 9};
    selfLit.update(show, 0.1);
    expectNear(selfLit.position, {7, 8, 9}, 1e-3f);

    Sphere moon; // moons turn with their own speed and keep one face to the planet
    moon.moon = true;
    moon.orbit.aroundSun = false;
    moon.moonSpeed = 2;
    moon.rotationAxis = {0, 0, 1};
    moon.homePosition = {100, 0, 0};
    moon.update(show, 0.1);
    EXPECT_NEAR(moon.moonAngle, 36.5f, 1e-4);
    EXPECT_NEAR(moon.spinAngle, 36.5f, 1e-4);
    expected = moon.homePosition;
    rotateAboutAxis(expected, {0, 0, 1}, 36.5f);
    expectNear(moon.position, expected, 1e-3f);
    show.worldTime = 0;
}

TEST(SphereUpdate, FarOrbitAndPeriodZeroGiveFinitePlaces) {
    Show show;
    Sphere far;
    far.orbit.eccentric = true;
    far.update(show, 0.1);
    expectNear(far.position, {618000, 123600, 0}, 0.5f);

    Sphere noPeriod;
    noPeriod.period = 0;
    noPeriod.homePosition = {300, 0, 0};
    noPeriod.update(show, 0.1);
    expectNear(noPeriod.position, {300, 0, 0}, 1e-3f);
}

TEST(SphereUpdate, SatellitesCircleTheirParentAndStayPutWithoutOne) {
    Show show;
    Sphere planet;
    planet.position = {5000, 0, 0};

    Sphere satellite;
    satellite.orbit.aroundParent = true;
    satellite.orbit.aroundSun = false;
    satellite.parent = &planet;
    satellite.homePosition = {0, 0, 300};
    satellite.rotationAxis = {0, 1, 0};
    satellite.spinSpeed = 90;
    satellite.update(show, 1);
    Vec3 expected = {0, 0, 300};
    rotateAboutAxis(expected, {0, 1, 0}, 90);
    expectNear(satellite.position, expected, 1e-3f); // relative to the parent until drawn

    // uranmoon: the orbit's axis runs from the Sun to the parent, the radius is the script's x.
    Sphere uranusMoon;
    uranusMoon.orbit.aroundParent = uranusMoon.orbit.axisFromSun = true;
    uranusMoon.orbit.aroundSun = false;
    uranusMoon.parent = &planet;
    uranusMoon.homePosition = {200, 0, 0};
    uranusMoon.spinSpeed = 30;
    uranusMoon.update(show, 1);
    EXPECT_NEAR(length(uranusMoon.position), 200, 1e-2);
    EXPECT_NEAR(dot(uranusMoon.position, planet.position), 0, 1e-1);

    // A parent at the Sun names no orbit plane; nothing turns into NaN.
    Sphere atTheSun;
    uranusMoon.parent = &atTheSun;
    uranusMoon.update(show, 1);
    EXPECT_TRUE(isFinite(uranusMoon.position));

    for (bool uran : {false, true}) {
        Sphere orphan;
        orphan.orbit.aroundParent = true;
        orphan.orbit.axisFromSun = uran;
        orphan.orbit.aroundSun = false;
        orphan.position = orphan.homePosition = {40, 50, 60};
        orphan.update(show, 1);
        expectNear(orphan.position, {40, 50, 60}, 1e-3f);
    }
}

TEST(SphereUpdate, FlashesToggleEveryHalfSecondAndMoveOnlyWhenTheyComeOn) {
    Show show;
    Sphere sphere;
    sphere.flash.enabled = sphere.flash.shining = true;
    sphere.flash.timer = 0;
    sphere.flash.period = 0.5f;
    const float u = sphere.flash.u;
    sphere.update(show, 0.3);
    EXPECT_TRUE(sphere.flash.shining);
    sphere.update(show, 0.3); // 0.6 > 0.5: off, with the 0.1 that was left over
    EXPECT_FALSE(sphere.flash.shining);
    EXPECT_NEAR(sphere.flash.timer, 0.1f, 1e-5);
    EXPECT_EQ(sphere.flash.u, u);
    sphere.update(show, 0.45);
    EXPECT_TRUE(sphere.flash.shining);
    EXPECT_NE(sphere.flash.u, u);
    EXPECT_GE(sphere.flash.angle, 0);
    EXPECT_LE(sphere.flash.angle, 180);

    // Random flashes last 0.4 to 0.8 seconds and pause 0.1 to 0.2, restarting their timer.
    Sphere random;
    random.flash.random = true;
    for (int i = 0; i < 40; ++i) {
        random.update(show, 1);
        EXPECT_EQ(random.flash.timer, 0);
        if (random.flash.shining) {
            EXPECT_GE(random.flash.period, 0.4f);
            EXPECT_LE(random.flash.period, 0.8f);
        } else {
            EXPECT_GE(random.flash.period, 0.1f);
            EXPECT_LE(random.flash.period, 0.2f);
        }
    }
}

// Drawing in the saver's GL state, with the shared meshes made from a small sphere.
class SphereDrawing : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        archive = std::make_unique<TestArchive>(ArchiveMembers{
            {"meshes\\sphere.dat", meshFileBytes(outwardOctahedron())},
            {"meshes\\env.dat", meshFileBytes(outwardOctahedron())},
        });
        show.files = ShowFiles(archive->path());
        ASSERT_TRUE(loadSharedMeshes(show));
        ASSERT_TRUE(loadWireSphereData(show));
        setViewport(surfaceWidth, surfaceHeight);
        setupGL(surfaceWidth, surfaceHeight);
        glLoadIdentity();
        drawCamera.position = drawCamera.eye = {0, 0, 0};
        drawCamera.up = {0, 1, 0};
    }
    void TearDown() override {
        archive.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<TestArchive> archive;
    Show show;
    Camera& drawCamera = show.camera;
};

TEST_F(SphereDrawing, EveryLookLeavesTheStateTheNextObjectExpects) {
    struct Row {
        const char* block;
        double worldTime = 0;
    };
    const Row rows[] = {
        {""},
        {"alpha 0.5\n"},
        {"alpha 0.5\nlight\n"},
        {"env\n"},
        {"env\nalpha 0.5\n"},
        {"light\nspecular\n"},
        {"texture clouds.tga\n"},
        {"atmo\n"},
        {"flash\n"},
        {"flash\nrnd\ntexture glow.tga\n"},
        {"wire\n", 0},
        {"wire\n", 7},
        {"wire\n", 15},
        {"wire\n", 22},
        {"wire\n", 30},
        {"sys\nparent Sun\n"},
        {"sys\nuranmoon\nparent Sun\n"},
        {"sys\n"},
        {"mask\n"},
        {"depth\n"},
        {"noised\ntiling 4\ndetiling 30\n"},
        {"env\natmo\nflash\nrnd\nwire\nsys\nuranmoon\nmask\ndepth\nlight\nspecular\nalpha 0.3\nparent Sun\n"
         "texture a.tga\n",
         12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.block) + " at world time " + std::to_string(row.worldTime));
        show.worldTime = row.worldTime;
        std::vector<Sphere*> spheres = readSpheres(show, "sphere\nbegin Sun\nposition V(0 0 -900)\nend\n"
                                                         "sphere\nbegin\nradius 100\nposition V(0 0 -500)\n" +
                                                             std::string(row.block) + "end\nENDWORLD\n");
        ASSERT_EQ(spheres.size(), 2u);
        for (Sphere* sphere : spheres) {
            sphere->update(show, 0.6);
            sphere->draw(show);
            EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
        }
    }
}

TEST_F(SphereDrawing, TheSkyIsDrawnInItsOwnFrustumAndTheSceneProjectionComesBack) {
    float projectionBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);

    // A sky of radius 10 lies inside the scene's near plane (80): only its own frustum can show it. It
    // follows the eye wherever that is.
    Sphere* sky = readSphere(show, "env\nradius 10\n");
    drawCamera.eye = {3000, 0, 0};
    drawCamera.forward = {0, 0, -1};
    glLoadIdentity();
    drawCamera.lookAt();
    glDisable(GL_TEXTURE_2D);
    sky->update(show, 0.1);
    sky->draw(show);
    glEnable(GL_TEXTURE_2D);
    EXPECT_GT(pixelAt(32, 32)[0], 200);
    expectNear(sky->position, drawCamera.position, 1e-3f);

    float projectionAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
}

TEST_F(SphereDrawing, AMoonWearsItsOwnPictureTintedByItsColourAndAPlainMoonItsColour) {
    GLuint green = 0;
    glGenTextures(1, &green);
    glBindTexture(GL_TEXTURE_2D, green);
    const std::uint8_t pixels[] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    for (const bool textured : {true, false}) {
        SCOPED_TRACE(textured ? "textured" : "plain");
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Sphere* moon =
            readSphere(show, "sys\nlight\norbit\nradius 200\nposition V(0 0 -500)\ncolor V(0.9 0.9 0.5)\n");
        moon->textured = textured;
        moon->textureId = green;
        moon->update(show, 0.1);
        moon->draw(show);
        const std::array<std::uint8_t, 4> centre = pixelAt(32, 32);
        EXPECT_GT(centre[1], 200);
        if (textured) {
            EXPECT_LT(centre[0], 30);
        } else {
            EXPECT_GT(centre[0], 200);
            EXPECT_LT(centre[2], 160);
        }
    }
    glDeleteTextures(1, &green);
}

TEST_F(SphereDrawing, AMaskWritesDepthButNoColourAndAnAtmosphereFadesTowardsItsRim) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::array<std::uint8_t, 4> cleared = pixelAt(32, 32);
    Sphere* mask = readSphere(show, "mask\norbit\nradius 200\nposition V(0 0 -500)\n");
    mask->update(show, 0.1);
    mask->draw(show);
    EXPECT_EQ(pixelAt(32, 32), cleared);
    float depthAtCentre = 1;
    glReadPixels(32, 32, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depthAtCentre);
    EXPECT_LT(depthAtCentre, 1);

    // The atmosphere, self-lit and untextured, off to the side so the camera sees it at an angle: still
    // brightest on the line of sight through its centre and fading out before the silhouette.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Sphere* atmosphere = readSphere(show, "atmo\nlight\norbit\nradius 300\nposition V(100 0 -1000)\n");
    glDisable(GL_TEXTURE_2D);
    atmosphere->update(show, 0.1);
    atmosphere->draw(show);
    glEnable(GL_TEXTURE_2D);
    const int centreX = 32 + static_cast<int>(std::lround(100.0 / 1000 * 80 / 40 * 32));
    const int centre = pixelAt(centreX, 32)[0];
    const int nearRim = pixelAt(centreX - 16, 32)[0];
    EXPECT_GT(centre, 200);
    EXPECT_LT(nearRim, centre / 2);
    EXPECT_GT(nearRim, 0);
}
