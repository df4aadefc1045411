#pragma once

#include "objects/mesh_file.h"

// A lumpy, elongated rock about 1 across its middle, for "mesh" objects. Each `variant` is a different rock;
// the same variant is always the same rock. Built on a coarse unitSphereMesh, so the texture wraps it the
// same way, with smooth normals recomputed for the new shape.
MeshData asteroidMesh(int variant);
