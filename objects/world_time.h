#pragma once

// The world clock that spheres turn and orbit by. A saver run sets it to 0 and never advances it: the planets
// stand still while the camera travels.
extern double worldTime;
