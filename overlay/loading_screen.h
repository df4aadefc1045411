#pragma once

#include "data/show_files.h"
#include "data/texture_registry.h"

// The picture shown while the show loads: the "sign.jpg" picture above the "load.jpg" picture, drawn in the
// overlay space over a cleared window. Its two textures are its own, not entries of the show's registry.
struct LoadingScreen {
    TextureEntry sign;
    TextureEntry load;
};

// Makes the two pictures' textures from the show's textures\sign.jpg and textures\load.jpg. Called before the
// first loading step asks for the picture.
LoadingScreen loadLoadingScreen(ShowFiles& files);

// Draws the picture; it changes nothing that a scene's draw relies on.
void drawLoadingScreen(const LoadingScreen& screen);

// What a shell does on each loading step before it swaps the buffers: clears the window, draws the picture
// and waits until it is drawn, since no event loop runs while loading.
void redrawLoadingScreen(const LoadingScreen& screen);
