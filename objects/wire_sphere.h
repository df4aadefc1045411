#pragma once

class Show;

// Reads the unit sphere "meshes\sphere.dat" into the show's wireSphere once while the show loads, after the
// shared meshes: the wire build-up colours every corner by its height against a sweeping plane and so cannot
// use a display list. False, leaving it empty (wire spheres then show no sweep), when the file is missing or
// damaged.
bool loadWireSphereData(Show& show);
