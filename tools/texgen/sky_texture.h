#pragma once

#include "tools/texgen/picture.h"

// The inside of the sky sphere: stars spread evenly over the sphere and the Milky Way as a dusty band
// along a great circle tilted against the equator.
Picture paintStarfield(int width, int height);
