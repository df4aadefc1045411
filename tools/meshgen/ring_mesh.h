#pragma once

#include "objects/mesh_file.h"

// A flat annulus in the y = 0 plane, the equator of the sphere meshes, so a planet and its rings turn
// together. The texture's u runs across the ring's width (0 at the inner edge, 1 at the outer), so a picture
// of the rings as one radial strip maps straight on; v runs once around. Every face has a twin on the other
// side with the opposite winding and normal: the ring shows from above and below even when back faces are
// culled.
MeshData ringMesh(float innerRadius, float outerRadius, int segments);
