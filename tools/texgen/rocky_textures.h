#pragma once

#include "tools/texgen/picture.h"

// The Sun and the solid bodies, painted as sphere textures (u around, v pole to pole, north on top).
Picture paintSun(int width, int height);
Picture paintMercury(int width, int height);
Picture paintMoon(int width, int height);
Picture paintVenus(int width, int height);
Picture paintEarth(int width, int height);
Picture paintEarthClouds(int width, int height); // white with alpha: clear sky is transparent
Picture paintMars(int width, int height);
// A spacecraft's hull: grey plates in a grid with dark seams.
Picture paintHullPanels(int width, int height);
