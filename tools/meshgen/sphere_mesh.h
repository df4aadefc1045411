#pragma once

#include "objects/mesh_file.h"

// Both spheres have radius 1, their poles on the y axis (+y is v = 1, the top of the picture), and turn
// their faces' fronts (counter-clockwise corners) outwards with the normal of each corner its own point. The
// texture's u runs once around from +x towards −z, so a spin about y slides the picture along u.

// The show's sphere: `stacks` rings from pole to pole and `slices` steps around. Every point of the surface
// is one vertex, shared by all its faces, the poles included; only the texture coordinates have a seam, a
// column at u = 1 beside the one at u = 0, so no face wraps the whole picture backwards. Sharing matters to
// the noised sphere, which slides each vertex on its own: a duplicated vertex would tear the surface open.
MeshData unitSphereMesh(int stacks, int slices);

// The sky's sphere, "env.dat": it is textured with stars only and needs fewer faces than the bodies. Its
// texture is painted for exactly these faces.
inline constexpr int skyMeshStacks = 24;
inline constexpr int skyMeshSlices = 48;

// The point of unitSphereMesh(stacks, slices)'s flat faces that the texture coordinate (u, v) is drawn at: a
// texture painted with the directions of these points shows every feature where it belongs on the faceted
// sphere, round at the poles too, as long as the picture does not slide along u.
Vec3 unitSphereSurfacePoint(float u, float v, int stacks, int slices);

// A plain grid of (stacks + 1) × (slices + 1) points, each its own vertex and texture coordinate, two
// triangles per cell even where a cell meets a pole. The test shows are built from it.
MeshData uvSphereMesh(int stacks, int slices);
