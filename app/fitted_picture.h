#pragma once

// Where a picture of `width` × `height` lies when scaled to fit a window with its shape kept, centred, with
// black bars where the shapes differ: x, y, width, height in window pixels.
struct FittedArea {
    int x, y, width, height;
};
FittedArea fitPicture(int width, int height, int windowWidth, int windowHeight);
