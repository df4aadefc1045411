#include "objects/sphere.h"

#include "objects/common_keywords.h"
#include "objects/script_parse_state.h"
#include "objects/script_scan.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"

namespace {

// A keyword that sets something, from the show being read where it names a shared mesh or parse state.
BlockKeyword setKeyword(std::string_view prefix, std::function<void(Show& show)> effect) {
    return {prefix, [effect = std::move(effect)](ScriptReader& script) { effect(script.show()); }};
}

// Each flashing sphere of a script starts a quarter period later than the one before it, so that they do
// not all blink together.
void setUpFlash(ScriptParseState& state, Sphere& sphere) {
    const float phase = state.flashPhase;
    Sphere::Flash& flash = sphere.flash;
    flash.enabled = true;
    flash.period = 0.5f;
    if (phase > 0.4f) {
        flash.timer = phase - 0.5f;
        flash.shining = false;
    } else {
        flash.timer = phase;
        flash.shining = true;
    }
    state.flashPhase = phase + 0.25f;
}

// Each further moon of a script turns at three quarters of the speed of the one before it.
void makeMoon(ScriptParseState& state, Sphere& sphere) {
    sphere.moon = true;
    sphere.moonSpeed = 2 * state.moonSpeedFactor;
    state.moonSpeedFactor *= 0.75f;
}

// The scripts place orbiting bodies 2000 units further out than they stand; a sphere marked "orbit" before
// its position line keeps the position as written. A line without three numbers moves nothing.
void readPosition(Sphere& sphere, std::string_view line) {
    Vec3 p;
    if (scanLine(line, "position V(%f %f %f)", p.x, p.y, p.z) != 3)
        return;
    if (sphere.orbit.aroundSun)
        p.x -= 2000;
    sphere.position = p;
    sphere.homePosition = p;
}

// Every line is tested against every keyword in this order, and every match applies: "orbit" before
// "position" matters, and "atmo" clears a TGA look inherited from an earlier sphere. The script's short
// words end here: "env" is the sky, "sys" a satellite, "plt" the eccentric orbit, "rnd" a random flash.
std::vector<BlockKeyword> sphereKeywords(Sphere& s, const ObjectList& list) {
    return {
        floatKeyword("radius", s.radius, NumberRange{0}),
        floatKeyword("FOV", s.fov),
        floatKeyword("alpha", s.alpha, NumberRange{0, 1}),
        floatKeyword("tiling", s.tiling),
        floatKeyword("detiling", s.detiling),
        floatKeyword("period", s.period),
        setKeyword("env",
                   [&s](Show& show) {
                       s.look.sky = true;
                       s.spinSpeed = 0;
                       s.displayList = show.meshes.env;
                   }),
        setKeyword("geo", [&s](Show& show) { s.displayList = show.meshes.sphere; }),
        flagKeyword("light", s.look.selfLit),
        flagKeyword("specular", s.look.specular),
        flagKeyword("depth", s.look.noDepthWrites),
        flagKeyword("wire", s.look.wireBuildUp),
        flagKeyword("sys", s.orbit.aroundParent),
        setKeyword("noised", [&s](Show& show) { s.displayList = show.meshes.noisedSphere; }),
        flagKeyword("uranmoon", s.orbit.axisFromSun),
        flagKeyword("plt", s.orbit.eccentric),
        flagKeyword("mask", s.look.depthOnly),
        setKeyword("list", [&s](Show& show) { s.displayList = show.meshes.geometry; }),
        setKeyword("moon", [&s](Show& show) { makeMoon(show.parseState, s); }),
        setKeyword("orbit", [&s](Show&) { s.orbit.aroundSun = false; }),
        flagKeyword("rnd", s.flash.random),
        setKeyword("atmo",
                   [&s](Show& show) {
                       s.look.atmosphere = true;
                       s.tga = false;
                       s.displayList = show.meshes.atmosphere;
                   }),
        setKeyword("flash", [&s](Show& show) { setUpFlash(show.parseState, s); }),
        {"texture",
         [&s, sharedTexture = textureKeyword(s)](ScriptReader& line) {
             sharedTexture.apply(line);
             line.show().parseState.lastTextureWasTga = s.tga;
         }},
        {"rotation",
         [&s](ScriptReader& line) {
             scanLine(line.line(), "rotation V(%f %f %f) %f %f", s.rotationAxis.x, s.rotationAxis.y,
                      s.rotationAxis.z, s.spinAngle, s.spinSpeed);
         }},
        {"orient",
         [&s](ScriptReader& line) {
             scanLine(line.line(), "orient V(%f %f %f) %f", s.orientAxis.x, s.orientAxis.y, s.orientAxis.z,
                      s.orientAngle);
         }},
        {"position", [&s](ScriptReader& line) { readPosition(s, line.line()); }},
        vectorKeyword("color", s.color, NumberRange{0, 1}),
        parentKeyword(s, list),
    };
}

} // namespace

std::vector<std::string_view> sphereBlockKeywords() {
    Sphere sphere;
    return keywordPrefixes(sphereKeywords(sphere, {}));
}

std::unique_ptr<SceneObject> parseSphere(ScriptReader& script, const ObjectList& list) {
    auto sphere = std::make_unique<Sphere>();
    Sphere& s = *sphere;
    const Show& show = script.show();
    s.displayList = show.meshes.sphere;
    s.tga = show.parseState.lastTextureWasTga;
    if (!readBlockBegin(script, s.name, SceneObject::maxNameLength))
        return nullptr;
    if (!readBlockBody(script, sphereKeywords(s, list)))
        return nullptr;
    // A moon's angle is worked out afresh from the world clock every frame, so the start angle of its
    // "rotation" line is kept apart: without it every moon of a planet would start on one line.
    s.moonPhase = s.spinAngle;
    return sphere;
}
