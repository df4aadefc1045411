#pragma once

#include "math/vec3.h"

#include <GL/gl.h>

// The shadow a planet casts on what lies round it (its rings): everything inside the cylinder of the planet's
// radius that runs from the planet away from the Sun is darkened. The cylinder is drawn as a disc texture
// projected along the sunlight, so the shadow's edge is round at any angle, and a clip plane through the
// planet's centre keeps the side facing the Sun lit.

// A small texture of a dark disc with a soft rim, made in the current GL context. The caller keeps it for
// the context's life.
GLuint makeShadowDiscTexture();

// Draws `displayList` once more, under the current model-view matrix and exactly over what it drew before,
// darkened where it lies in the shadow of the sphere at `casterEyeCentre` (eye space) of radius
// `casterRadius`. The GL state is left as it was found, apart from the texture matrix, which is the
// identity afterwards.
void darkenInShadow(GLuint displayList, Vec3 casterEyeCentre, float casterRadius, GLuint discTexture);
