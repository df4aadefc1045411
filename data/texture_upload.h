#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>
#include <string>

// Asked with a picture's size as its header gives it, before anything is decoded: a header costs nothing to
// write, and the pixels it promises cost memory and time. False leaves the picture out. Empty admits every
// picture.
using PictureAdmission = std::function<bool(int width, int height)>;

// What a texture made from `width` × `height` pixels keeps: four bytes a pixel (drivers store three-byte
// pixels as four) and a third more for the smaller mipmap levels.
std::uint64_t textureBytes(int width, int height);

// The part of a picture that holds any light, in texture coordinates: every texel outside it is black, and so
// is every sample that linear filtering takes outside it when the picture is magnified. A sprite drawn
// additively adds nothing there, so it need only cover this part; a picture with alpha keeps the whole.
struct LitBox {
    float left = 0, right = 1, bottom = 0, top = 1;
};

// The lit box of tightly packed RGB rows, widened by a texel on each side for linear filtering; empty when
// the whole picture is black.
LitBox litBoxOfRgb(const std::uint8_t* pixels, int width, int height);

// The one recipe every texture of the program is made with: a new 2-D texture from tightly packed rows of
// `components` bytes per pixel (bottom row first), every mipmap level built by GLU, trilinear minification,
// linear magnification and GL's default wrap modes. Leaves the texture bound and the unpack alignment at 1.
// Returns the texture name, or 0 (and creates nothing) when GLU cannot build the levels.
GLuint createMipmappedTexture(GLint components, int width, int height, GLenum format,
                              const std::uint8_t* pixels);

// Whether a picture of `width` × `height` pixels is small enough to decode (at most maxJpegPixels, TGA
// pictures too); `why`, when given, says so when not.
bool pictureSizeFits(int width, int height, std::string* why);

// Why a picture that decoded did not become a texture: GLU could not make its levels (no memory for them).
inline constexpr const char* noTextureMade = "no texture could be made of it (out of memory?)";

// Lets the bound texture's filter take up to four texels along a squeezed footprint, where the context offers
// that. A body's picture is squeezed along its parallels towards its poles; without it the filter takes the
// level the squeezed direction asks for in both directions, and what is left of the picture there runs out
// from the pole in streaks. Software renderers pay for every extra texel (Mesa's llvmpipe some 8 ms of
// processor time a 1920 × 1080 frame of the show), so it is for bodies only: the sky is drawn from its first
// level and sprites are not squeezed.
void filterAlongSqueezedFootprints();
