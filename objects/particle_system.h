#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <memory>
#include <vector>

// How a particle system launches its particles and draws them.
enum class MotionMode {
    none,  // particles only move on; nothing is drawn
    line,  // an endless stream along -z from the system's origin
    circ,  // eruptions every two to three seconds from a point on a sphere, with a glow flat on the sphere
    flash, // a jagged chain in a sphere's tangent plane, rebuilt now and then, with a spot running along it
};

struct Particle {
    Vec3 position;     // relative to the system's position
    Vec3 velocity;     // units per second
    Vec3 acceleration; // units per second²
    float age = 0;     // seconds since launch
    float life = 0;    // seconds; a line particle is relaunched when its age passes this
};

// A fixed set of textured, additively blended sprites. Every random draw happens in a fixed order (the
// creation, "dens", each update and each flash draw), so that one seed always gives the same show.
class ParticleSystem : public SceneObject {
public:
    // A mistyped "dens" must not exhaust memory or stall every frame; real shows use a few hundred at most.
    // No system may have more than the whole show's budget allows.
    static constexpr int maxParticleCount =
        static_cast<int>(ShowBudget::limits[static_cast<std::size_t>(BudgetItem::particles)]);

    // Draws the flash chain's starting spin phase from the random sequence.
    ParticleSystem();

    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;
    BudgetNeed budgetNeed(const Show& show) const override {
        return SceneObject::budgetNeed(show).add(BudgetItem::particles, particles.size());
    }

    // "dens": `count` particles (0 when negative, at most maxParticleCount) on a sphere of radius 250 around
    // the system's position, moving along -z, each with a random age. Resets the burst timing, so a "time"
    // line only counts after it.
    void setUpParticles(int count);

    int particleCount() const { return static_cast<int>(particles.size()); }

    MotionMode motionMode = MotionMode::none;
    float size = 2.0f;       // circ: radius of the eruption sphere around point1
    float burstInterval = 0; // seconds until the next eruption (circ) or chain step (flash)
    float burstTimer = 0;    // seconds since the last eruption or chain step
    float spinPhase = 0;     // flash: how far the chain's sprites have turned
    int sweepStep = 0;       // flash: the particle the bright spot sits on, from -count to 2·count + 1
    Vec3 point1;             // centre of the circ and flash spheres
    Vec3 point2;             // read from scripts but used by no mode
    std::vector<Particle> particles;
    // The base's `right` is the flash chain's axis: the normal of the plane it lies in.

private:
    void moveParticles(float dt);
    void relaunchInStream(Particle& particle);
    void erupt();
    void stepChain(float dt);
    void buildChain();

    void drawStream();
    void drawEruption();
    void drawChain();
};

// Reads a "ps" block and makes the particle system; null when the data ends inside the block.
std::unique_ptr<SceneObject> parseParticleSystem(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> particleSystemBlockKeywords();
