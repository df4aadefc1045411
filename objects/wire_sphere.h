#pragma once

#include "objects/mesh_file.h"

// The unit sphere "meshes\sphere.dat" kept in memory for the wire build-up, which colours every corner by
// its height against a sweeping plane and so cannot use a display list. Empty until loaded.
extern MeshData wireSphereData;

// Reads it once while the show loads, after the shared meshes. False, leaving it empty (wire spheres then
// show no sweep), when the file is missing or damaged.
bool loadWireSphereData();
