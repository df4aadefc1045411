#pragma once

#include "objects/mesh_file.h"

// Small meshes whose every number a test can check by hand.

// The 132-byte file of one triangle: three vertices, one face, three texture coordinates, with the corners
// naming them out of order.
MeshData oneTriangleMesh();

// Two triangles of a square that share vertex 0 (and 2), giving it a different texture coordinate in each.
MeshData sharedCornerMesh();

// The six unit vectors along the axes joined into the eight faces of an octahedron: a small unit sphere.
MeshData octahedronMesh();
