#pragma once

#include <GL/gl.h>

// Display lists that exist once and are handed to objects by the parsers. 0 until made.
extern GLuint envMesh;          // "meshes\env.dat": the sky sphere
extern GLuint sphereMesh;       // "meshes\sphere.dat": the unit sphere of planets and moons
extern GLuint noisedSphereMesh; // the unit sphere with jittered vertices
extern GLuint atmosphereList;   // the unit sphere with alpha fading towards the silhouette
extern GLuint geometryMesh;     // the mesh file of the last "geometry" line of the object scripts

// Builds envMesh, sphereMesh, noisedSphereMesh and atmosphereList, in that order (the jitter draws from the
// random sequence), before any object script is read. False when one of them could not be made; it stays 0.
bool loadSharedMeshes();
