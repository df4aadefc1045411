#pragma once

#include "math/vec3.h"

// Where the Sun's light (GL_LIGHT1, placed by the director each frame) comes from, as a draw sees it, and the
// looks built on it. Everything here works in eye space, where OpenGL keeps the light's position, so it
// needs no inverse of the camera.

// A point of the current model-view space in eye space: with the camera's matrix alone, a world point; once
// an object has translated to its place, {} is its centre.
Vec3 eyeSpacePoint(Vec3 point);

// The unit vector from `eyePoint` towards the Sun's light, in eye space.
Vec3 eyeSpaceSunDirection(Vec3 eyePoint);

// Until endNightSideGlow: the object drawn glows at full strength on the side of it turned away from the Sun
// and not at all on the side facing it, fading across the line between them, whatever colour and alpha it
// is given. For what lights itself only where no sunlight drowns it: lightning, city lights. Call it with
// the object's centre at the model-view origin; it keeps the rest of the lighting state as it was.
void beginNightSideGlow();
void endNightSideGlow();

// Until endLimbDarkening: a body that lights itself (a star) is brightest where it faces the viewer and dims
// towards its rim to 0.4 of that, as the Sun's disc does, its light crossing more of its own gas at a slant.
// Call it with the body's centre at the model-view origin; it keeps the rest of the lighting state as it was.
void beginLimbDarkening();
void endLimbDarkening();
