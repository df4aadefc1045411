#pragma once

#include "objects/mesh_file.h"

// A space station in two meshes, both in units of the ring's radius and turning about their y axis: the hub,
// a cylinder along y with two crossed spokes out to the ring, drawn as bare metal; and the habitat ring, a
// torus of radius 1, drawn half transparent. Every face turns its front (counter-clockwise corners) outwards.
MeshData stationHubMesh();
MeshData stationRingMesh();
