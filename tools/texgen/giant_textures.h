#pragma once

#include "tools/texgen/picture.h"

// The giant planets, banded by latitude, and Saturn's ring strip.
Picture paintJupiter(int width, int height);
Picture paintSaturn(int width, int height);
Picture paintUranus(int width, int height);
Picture paintNeptune(int width, int height);
// The ring mesh maps u across the ring's width, inner edge at u = 0; every row is the same.
Picture paintSaturnRing(int width, int height);
// Flashes of lightning in a few storms on black, drawn additively over Jupiter's night side.
Picture paintLightning(int width, int height);
// The colour of an atmosphere shell, drawn over a planet.
Picture paintAirGlow(int width, int height);
