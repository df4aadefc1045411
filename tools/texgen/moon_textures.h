#pragma once

#include "tools/texgen/picture.h"

// The moons, each its own kind of surface (u around, v pole to pole, north on top). The script tints each by
// its colour, so one picture can serve moons of one kind.
Picture paintMoon(int width, int height);     // Earth's Moon: grey highlands, dark maria, craters
Picture paintIo(int width, int height);       // sulphur yellows and oranges, black volcanoes, white frost
Picture paintEuropa(int width, int height);   // pale ice crossed by long brown cracks
Picture paintGanymede(int width, int height); // dark old ground between pale grooved bands, bright craters
Picture paintCallisto(int width, int height); // dark ground saturated with bright-rimmed craters
Picture paintTitan(int width, int height);    // an orange haze with faint bands
Picture paintIcyMoon(int width, int height);  // grey ice, cratered: Uranus's moons
Picture paintTriton(int width, int height);   // pink nitrogen ice, a bright polar cap, dark streaks
