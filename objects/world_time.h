#pragma once

// The world clock that spheres orbit, circle their planets and build themselves by: seconds of show, unscaled
// by the camera's speed. A saver run sets it to 0 when the show starts and advances it by each frame's step.
extern double worldTime;
