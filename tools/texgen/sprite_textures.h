#pragma once

#include "tools/texgen/picture.h"

// Square sprites drawn additively over the scene: black is transparent, brightness is light.
Picture paintGlow(int size);        // soft radial glow
Picture paintHalo(int size);        // the Sun's corona, for the billboard on its rim
Picture paintFlare(int size);       // bright core with soft rays
Picture paintLensDisc(int size);    // lens ghost: a soft disc
Picture paintLensRing(int size);    // lens ghost: a thin ring
Picture paintLensHexagon(int size); // lens ghost: an aperture-shaped hexagon
Picture paintLensStreak(int size);  // lens streak: a thin line of light along the picture's height
Picture paintDot(int size);         // particle: a soft dot
Picture paintSpark(int size);       // particle: a four-pointed spark
Picture paintGalaxy(int size);      // a far spiral galaxy, for the sky

// Drawn blended by its alpha rather than additively.
Picture paintCometTail(int size); // a plume in the picture's upper half
