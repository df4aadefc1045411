#include "objects/particle_system.h"

#include "math/random.h"
#include "objects/common_keywords.h"
#include "objects/script_scan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Reads the whole number after "dens", as "%d" would: a sign and the digits up to the first other character.
bool scanParticleCount(std::string_view line, int& count) {
    std::string word;
    if (scanLine(line, "dens %s", ScanWord{word, scriptLineCapacity}) != 1)
        return false;
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str())
        return false;
    count = static_cast<int>(std::clamp<long>(value, 0, ParticleSystem::maxParticleCount));
    return true;
}

BlockKeyword modeKeyword(std::string_view prefix, MotionMode mode, MotionMode& target) {
    return {prefix, [mode, &target](ScriptReader&) { target = mode; }};
}

const Vec3 worldUp{0, 1, 0};

} // namespace

ParticleSystem::ParticleSystem() {
    spinPhase = randomFraction() * 360;
}

void ParticleSystem::setUpParticles(int count) {
    particles.assign(static_cast<std::size_t>(std::clamp(count, 0, maxParticleCount)), Particle{});
    burstInterval = 0;
    burstTimer = 0;
    for (Particle& particle : particles) {
        particle.velocity = {0, 0, -1000};
        const Vec3 direction = randomUnitVector();
        particle.position = position + 250 * direction;
        particle.age = 25 * randomFraction();
    }
}

void ParticleSystem::update(const Show&, double dt) {
    const float step = static_cast<float>(dt);
    burstTimer += step;
    if (motionMode != MotionMode::flash)
        moveParticles(step);
    if (motionMode == MotionMode::circ && burstTimer > burstInterval)
        erupt();
    if (motionMode == MotionMode::flash && burstTimer > burstInterval)
        stepChain(step);
}

void ParticleSystem::moveParticles(float dt) {
    for (Particle& particle : particles) {
        particle.position = particle.position + particle.velocity * dt;
        particle.velocity = particle.velocity + particle.acceleration * dt;
        if (motionMode != MotionMode::line)
            continue;
        burstTimer = 0;
        particle.age += dt;
        if (particle.age > particle.life)
            relaunchInStream(particle);
    }
}

void ParticleSystem::relaunchInStream(Particle& particle) {
    particle.position = {};
    const float speed = randomFraction();
    particle.velocity = {0, 0, -2400 - 17100 * speed};
    const float push = 0.57f * length(particle.velocity);
    const float upward = randomFraction();
    const float sideways = randomFraction();
    particle.acceleration = {push * (1 + sideways), push * upward, 0};
    particle.age = 0;
    const float life = randomFraction();
    particle.life = 1 + 2 * life;
}

void ParticleSystem::erupt() {
    burstTimer = 0;
    const float nextInterval = randomFraction();
    burstInterval = 2 + nextInterval;
    const Vec3 direction = randomUnitVector();
    const Vec3 eruptionPoint = size * direction;
    position = point1 + eruptionPoint;
    const bool eject = randomFraction() < 0.2f;

    for (Particle& particle : particles) {
        // Each particle starts a little way round the sphere from the eruption point and sprays outward,
        // slower the further round it starts.
        const Vec3 turnAxis = randomUnitVector();
        const float turn = 4 * randomFraction();
        Vec3 turned = eruptionPoint;
        rotateAboutAxis(turned, turnAxis, turn);
        particle.position = eruptionPoint - turned;
        const float speed = 800 + 300 * randomFraction();
        const float slowing = 1 - turn / 4;
        particle.velocity = normalize(1.1f * eruptionPoint - turned) * speed * slowing;
        if (eject) {
            const float ejectSpeed = 400 + 1700 * randomFraction();
            particle.velocity = ejectSpeed * slowing * direction;
        }
        const Vec3 scatterAxis = randomUnitVector();
        const float scatter = 30 * randomFraction();
        rotateAboutAxis(particle.velocity, scatterAxis, scatter);
        const float pull = 250 + 50 * randomFraction();
        particle.acceleration = -direction * pull;
    }
}

void ParticleSystem::stepChain(float dt) {
    spinPhase += 0.3f * dt;
    burstTimer = 0;
    const float nextInterval = randomFraction();
    burstInterval = 0.01f + 0.04f * nextInterval;
    ++sweepStep;
    if (sweepStep > 2 * particleCount())
        buildChain();
}

void ParticleSystem::buildChain() {
    spinPhase = 0;
    sweepStep = -particleCount();
    const Vec3 direction = randomUnitVector();
    position = point1 + 16100 * direction;
    right = normalize(direction);
    // A zig-zag walk in the plane the axis stands on: every link is as long, turned a random amount.
    Vec3 sum;
    for (Particle& particle : particles) {
        Vec3 link = 100.8f * cross(right, worldUp);
        const float turn = 30 + 180 * randomFraction();
        rotateAboutAxis(link, right, turn);
        sum = sum + link;
        particle.position = sum;
    }
}

namespace {

std::vector<BlockKeyword> particleSystemKeywords(ParticleSystem& p) {
    return {
        textureKeyword(p),
        floatKeyword("size", p.size, NumberRange{0}),
        modeKeyword("line", MotionMode::line, p.motionMode),
        modeKeyword("circ", MotionMode::circ, p.motionMode),
        modeKeyword("flash", MotionMode::flash, p.motionMode),
        floatKeyword("time", p.burstInterval),
        {"dens",
         [&p](ScriptReader& s) {
             int count = 0;
             if (scanParticleCount(s.line(), count))
                 p.setUpParticles(count);
         },
         "dens %f", NumberRange{0, ParticleSystem::maxParticleCount}},
        vectorKeyword("point1", p.point1),
        vectorKeyword("point2", p.point2),
        vectorKeyword("rot", p.right),
    };
}

} // namespace

std::vector<std::string_view> particleSystemBlockKeywords() {
    ParticleSystem system;
    return keywordPrefixes(particleSystemKeywords(system));
}

std::unique_ptr<SceneObject> parseParticleSystem(ScriptReader& script, const ObjectList&) {
    auto system = std::make_unique<ParticleSystem>();
    if (!readBlockBegin(script))
        return nullptr;
    if (!readBlockBody(script, particleSystemKeywords(*system)))
        return nullptr;
    return system;
}
