#pragma once

// A textured quad centred on the current origin in window pixels, the whole texture spread over
// ±halfWidth × ±halfHeight: the flares' sprite and the lens effect's ghosts.
void drawScreenSprite(float halfWidth, float halfHeight);
