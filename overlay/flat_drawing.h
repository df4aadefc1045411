#pragma once

// Switches between the 3-D scene and flat drawing. Both kinds of flat drawing turn the depth test and
// lighting off, push the projection and model-view matrices, set the viewport to the whole picture
// (base/viewport.h) and leave the model-view matrix current and at the identity; leaving pops both and turns
// depth test and lighting back on.

// Flat drawing in the fixed 800 × 600 overlay space (origin bottom-left, y up), stretched over the window
// whatever its size: the loading screen, the frame counter and the clock.
void enterOverlay();
void leaveOverlay();

// Flat drawing in window pixels: one unit per pixel, origin bottom-left. The flares' screen-space sprites.
void enter2D();
void leave2D();
