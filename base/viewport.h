#pragma once

// The size in pixels of the picture the show draws: the window's, or, when the Linux shell scales a picture
// of the settings' size into a larger window, that picture's. One value for the whole process: the saver run
// sets it when it starts and whenever the window takes a new size; the perspective, flat drawing and the
// objects that measure themselves in pixels read it here.
struct Viewport {
    int width = 800;
    int height = 600;

    // Width over height, as the perspective takes it; 4:3 while the size is not known.
    double aspect() const;
};

const Viewport& viewport();
void setViewport(int width, int height);
