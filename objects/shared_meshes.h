#pragma once

#include <GL/gl.h>

class Show;

// Display lists that exist once per show and are handed to objects by the parsers. 0 until made.
struct SharedMeshes {
    GLuint env = 0;          // "meshes\env.dat": the sky sphere
    GLuint sphere = 0;       // "meshes\sphere.dat": the unit sphere of planets and moons
    GLuint noisedSphere = 0; // the unit sphere with jittered vertices
    GLuint atmosphere = 0;   // the unit sphere with alpha fading towards the silhouette
    GLuint geometry = 0;     // the mesh file of the last "geometry" line of the object scripts
};

// Builds the show's env, sphere, noisedSphere and atmosphere lists, in that order (the jitter draws from the
// random sequence), before any object script is read. False when one of them could not be made; it stays 0.
bool loadSharedMeshes(Show& show);
