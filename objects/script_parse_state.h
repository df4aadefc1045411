#pragma once

// State that runs through one object script and starts afresh with the next: the sphere parser reads and
// advances it, so that the moons and flashing spheres of a script start out of step with each other. The
// object-script reader resets it at the start of every script; the show holds it.
struct ScriptParseState {
    float moonSpeedFactor = 1.0f;
    float flashPhase = 0.0f;
    bool lastTextureWasTga = false;
};
