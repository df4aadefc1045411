#pragma once

// Sizes of what is drawn in window pixels (the flares' sprites and lens effects) are given in pixels of a
// picture this high, the 800 × 600 picture the show was made for. They follow the picture's height, as the
// perspective's fixed vertical extent does, so a wide picture of the same height shows the same sprites and a
// small preview is the large picture scaled down.
constexpr float designPictureHeight = 600;

// How many pixels of a picture `pictureHeight` pixels high one design pixel covers.
inline float pixelsPerDesignPixel(float pictureHeight) {
    return pictureHeight / designPictureHeight;
}

// A textured quad centred on the current origin in window pixels, the whole texture spread over
// ±halfWidth × ±halfHeight: the flares' sprite and the lens effect's ghosts.
void drawScreenSprite(float halfWidth, float halfHeight);
