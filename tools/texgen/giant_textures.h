#pragma once

#include "tools/texgen/picture.h"

// The giant planets, banded by latitude, and Saturn's ring strip.
Picture paintJupiter(int width, int height);
Picture paintSaturn(int width, int height);
Picture paintUranus(int width, int height);
Picture paintNeptune(int width, int height);
// The ring mesh maps u across the ring's width, inner edge at u = 0; every row is the same.
Picture paintSaturnRing(int width, int height);
