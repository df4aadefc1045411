#include "objects/particle_system.h"
#include "objects/show.h"

#include "app/gl_setup.h"
#include "gl/draw_state.h"
#include "math/random.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/objects/script_objects.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Reads an object script holding "ps" blocks and returns the systems made.
std::vector<ParticleSystem*> readSystems(Show& show, std::string_view script) {
    std::vector<ParticleSystem*> systems;
    for (SceneObject* object : readScript(show, script))
        systems.push_back(dynamic_cast<ParticleSystem*>(object));
    return systems;
}

ParticleSystem& readSystem(Show& show, std::string_view block) {
    const auto systems = readSystems(show, "ps\nbegin\n" + std::string(block) + "end\nENDWORLD\n");
    EXPECT_EQ(systems.size(), 1u);
    EXPECT_NE(systems.at(0), nullptr);
    return *systems.at(0);
}

std::vector<Vec3> positionsOf(const ParticleSystem& system) {
    std::vector<Vec3> positions;
    for (const Particle& particle : system.particles)
        positions.push_back(particle.position);
    return positions;
}

} // namespace

// Exact comparison: the same seed must give the very same floats. Found by argument lookup from gtest and
// std.
static bool operator==(Vec3 a, Vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

TEST(ParticleSystem, ReadsItsBlockAndTheLastModeWins) {
    Show show;
    ParticleSystem& system =
        readSystem(show, "  line\n  size 7\n  flash\n  point1 V(1 2 3)\n  point2 V(4 5 6)\n"
                         "  rot V(0 0 1)\n  dens 12.9\n  time 0.5\n");
    EXPECT_EQ(system.motionMode, MotionMode::flash);
    EXPECT_FLOAT_EQ(system.size, 7);
    EXPECT_FLOAT_EQ(system.burstInterval, 0.5f);
    EXPECT_EQ(system.point1, (Vec3{1, 2, 3}));
    EXPECT_EQ(system.point2, (Vec3{4, 5, 6}));
    EXPECT_EQ(system.right, (Vec3{0, 0, 1}));
    EXPECT_EQ(system.particleCount(), 12) << "the count is read as a whole number";
    for (const Particle& particle : system.particles) {
        EXPECT_NEAR(length(particle.position), 250, 0.05f);
        EXPECT_EQ(particle.velocity, (Vec3{0, 0, -1000}));
        EXPECT_EQ(particle.acceleration, Vec3{});
        EXPECT_EQ(particle.life, 0);
        EXPECT_GE(particle.age, 0);
        EXPECT_LE(particle.age, 25);
    }
    EXPECT_EQ(readSystem(show, "").motionMode, MotionMode::none);
}

TEST(ParticleSystem, CountsThatAreNoCountMakeNoParticlesOrKeepThePreviousOnes) {
    Show show;
    EXPECT_EQ(readSystem(show, "dens -5\n").particleCount(), 0);
    EXPECT_EQ(readSystem(show, "dens 4\ndens\ndens many\n").particleCount(), 4);
    EXPECT_EQ(readSystem(show, "dens 99999999999\n").particleCount(), ParticleSystem::maxParticleCount);
}

// "dens" resets the burst timing, so a "time" line only counts after it.
TEST(ParticleSystem, EruptsOnTheFirstUpdateUnlessATimeFollowsTheCount) {
    Show show;
    ParticleSystem& early = readSystem(show, "circ\nsize 500\ntime 1\ndens 5\npoint1 V(0 0 -3000)\n");
    early.update(show, 0.1);
    EXPECT_NEAR(length(early.position - early.point1), 500, 0.1f) << "erupted on the first update";
    EXPECT_GE(early.burstInterval, 2);
    EXPECT_LE(early.burstInterval, 3);

    ParticleSystem& late = readSystem(show, "circ\nsize 500\ndens 5\ntime 1\npoint1 V(0 0 -3000)\n");
    late.update(show, 0.6);
    EXPECT_EQ(late.position, Vec3{}) << "no eruption before one second";
    late.update(show, 0.6);
    const Vec3 direction = normalize(late.position - late.point1);
    EXPECT_NEAR(length(late.position - late.point1), 500, 0.1f);
    EXPECT_FLOAT_EQ(late.burstTimer, 0);
    for (const Particle& particle : late.particles) {
        // Every particle is pulled back towards the sphere's centre, from close to the eruption point.
        EXPECT_NEAR(dot(normalize(particle.acceleration), direction), -1, 1e-4f);
        EXPECT_GE(length(particle.acceleration), 250 - 0.01f);
        EXPECT_LE(length(particle.acceleration), 300 + 0.01f);
        EXPECT_LE(length(particle.position), 500 * 4 * 3.1416f / 180 + 0.1f);
    }
}

TEST(ParticleSystem, StreamRelaunchesWithTheDrawsInTheirFixedOrder) {
    Show show;
    seedRandom(321);
    ParticleSystem system; // one draw: the spin phase
    system.motionMode = MotionMode::line;
    system.setUpParticles(1); // four draws: a direction and an age
    ASSERT_GT(system.particles[0].age, 0);
    system.update(show, 0.01);

    seedRandom(321);
    for (int i = 0; i < 5; ++i)
        randomFraction();
    const float speed = randomFraction();
    const float upward = randomFraction();
    const float sideways = randomFraction();
    const float life = randomFraction();
    const float push = 0.57f * (2400 + 17100 * speed);

    const Particle& particle = system.particles[0];
    EXPECT_EQ(particle.position, Vec3{});
    EXPECT_FLOAT_EQ(particle.velocity.z, -2400 - 17100 * speed);
    EXPECT_FLOAT_EQ(particle.acceleration.x, push * (1 + sideways));
    EXPECT_FLOAT_EQ(particle.acceleration.y, push * upward);
    EXPECT_FLOAT_EQ(particle.life, 1 + 2 * life);
    EXPECT_EQ(particle.age, 0);
}

TEST(ParticleSystem, OneSeedGivesTheSameParticlesAfterManyUpdates) {
    Show show;
    const std::string_view script = "ps\nbegin\nline\ndens 30\nend\n"
                                    "ps\nbegin\ncirc\nsize 400\ndens 30\nend\n"
                                    "ps\nbegin\nflash\ndens 10\nend\nENDWORLD\n";
    auto run = [&](std::uint32_t seed) {
        seedRandom(seed);
        const auto systems = readSystems(show, script);
        std::vector<Vec3> positions;
        for (int step = 0; step < 200; ++step)
            for (ParticleSystem* system : systems)
                system->update(show, 1.0 / 30);
        for (ParticleSystem* system : systems) {
            const auto p = positionsOf(*system);
            positions.insert(positions.end(), p.begin(), p.end());
            positions.push_back(system->position);
        }
        return positions;
    };
    const auto first = run(77);
    EXPECT_EQ(first, run(77));
    EXPECT_NE(first, run(78));
}

// With 40 particles the spot counts from 0 to 80; the 81st step builds the first chain, and every later chain
// comes 121 steps after the one before. A step of 0.06 s is longer than any wait, so every update is a step.
TEST(ParticleSystem, FlashChainIsRebuiltAtTheEightyFirstStepAndEveryHundredTwentyFirstAfter) {
    Show show;
    ParticleSystem& system = readSystem(show, "flash\ndens 40\npoint1 V(100 200 300)\n");
    const auto dens = positionsOf(system);
    for (int step = 1; step <= 80; ++step)
        system.update(show, 0.06);
    EXPECT_EQ(system.sweepStep, 80);
    EXPECT_EQ(system.position, Vec3{});
    EXPECT_EQ(positionsOf(system), dens) << "flash particles stay where they were put until the first chain";

    system.update(show, 0.06);
    EXPECT_EQ(system.sweepStep, -40);
    EXPECT_EQ(system.spinPhase, 0);
    EXPECT_NEAR(length(system.position - system.point1), 16100, 0.5f);
    const Vec3 axis = system.right;
    EXPECT_NEAR(length(axis), 1, 1e-5f);
    const float link = 100.8f * length(cross(axis, {0, 1, 0}));
    Vec3 previous;
    for (const Particle& particle : system.particles) {
        EXPECT_NEAR(length(particle.position - previous), link, 0.02f);
        EXPECT_NEAR(dot(particle.position, axis), 0, 0.05f)
            << "the chain lies in the plane the axis stands on";
        previous = particle.position;
    }

    const Vec3 firstChain = system.position;
    for (int step = 1; step <= 120; ++step)
        system.update(show, 0.06);
    EXPECT_EQ(system.position, firstChain);
    system.update(show, 0.06);
    EXPECT_NE(system.position, firstChain);
    EXPECT_EQ(system.sweepStep, -40);
}

TEST(ParticleSystem, WithoutAModeParticlesOnlyMove) {
    Show show;
    ParticleSystem& system = readSystem(show, "dens 3\n");
    const auto before = positionsOf(system);
    system.update(show, 0.5);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(system.particles[i].position, (before[i] + Vec3{0, 0, -500}));
        EXPECT_EQ(system.particles[i].life, 0);
    }
    EXPECT_EQ(system.position, Vec3{});
}

class ParticleDrawing : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setupGL(surfaceWidth, surfaceHeight);
    }

    // Draws the system 20000 units ahead of the viewer; the number of pixels that are not black.
    int drawAndCountLitPixels(ParticleSystem& system) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -20000);
        Show show;
        system.draw(show);
        glLoadIdentity();
        std::vector<std::uint8_t> pixels(surfaceWidth * surfaceHeight * 4);
        glReadPixels(0, 0, surfaceWidth, surfaceHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            lit += pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0;
        return lit;
    }
};

// Every mode, textured or not, before and after its first update, leaves the state as every draw expects.
TEST_F(ParticleDrawing, EveryModeLeavesTheDrawStateAsItFoundIt) {
    Show show;
    const char* blocks[] = {
        "dens 5\n",
        "line\ndens 5\n",
        "line\ntexture nothing.jpg\ndens 5\n",
        "circ\nsize 300\ndens 5\n",
        "circ\ndens 0\n",
        "flash\ndens 6\n",
        "flash\ntexture nothing.tga\n",
    };
    for (const char* block : blocks) {
        ParticleSystem& system = readSystem(show, block);
        for (int round = 0; round < 3; ++round) {
            drawAndCountLitPixels(system);
            EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{}) << block << "round " << round;
            for (int i = 0; i < 5; ++i)
                system.update(show, 0.06);
        }
    }
}

TEST_F(ParticleDrawing, DrawsNothingWhereThereIsNothingToShow) {
    Show show;
    EXPECT_EQ(drawAndCountLitPixels(readSystem(show, "dens 5\n")), 0) << "no mode, no sprites";
    EXPECT_EQ(drawAndCountLitPixels(readSystem(show, "flash\n")), 0)
        << "a chain with no particles has no glow";
    // Before the first eruption both the timer and the wait are 0: the glow is drawn transparent.
    EXPECT_EQ(drawAndCountLitPixels(readSystem(show, "circ\nsize 300\ndens 5\n")), 0);
    // Fresh stream particles have neither age nor life yet.
    ParticleSystem& stream = readSystem(show, "line\ndens 5\n");
    for (Particle& particle : stream.particles) {
        particle.age = 0;
        particle.position = {};
    }
    EXPECT_EQ(drawAndCountLitPixels(stream), 0);

    stream.update(show, 0.01);
    EXPECT_GT(drawAndCountLitPixels(stream), 0) << "launched particles are seen";
    ParticleSystem& eruption = readSystem(show, "circ\nsize 300\ndens 5\n");
    eruption.update(show, 1);   // erupts at once
    eruption.update(show, 1.2); // about halfway to the next eruption
    EXPECT_GT(drawAndCountLitPixels(eruption), 0) << "between eruptions the glow and sprites are seen";
}
