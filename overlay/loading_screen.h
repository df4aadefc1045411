#pragma once

// The picture shown while the show loads: the "sign.jpg" picture above the "load.jpg" picture, drawn in the
// overlay space over a cleared window.

// Makes the two pictures' textures from textures\sign.jpg and textures\load.jpg. They are the overlay's own,
// not entries of the texture registry. Called before the first loading step asks for the picture.
void loadOverlayImages();

// Draws the picture; it changes nothing that a scene's draw relies on.
void drawLoadingScreen();

// What a shell does on each loading step before it swaps the buffers: clears the window, draws the picture
// and waits until it is drawn, since no event loop runs while loading.
void redrawLoadingScreen();
