#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>

// Asked with a decoded picture's size before it becomes a texture; false leaves the picture out. Empty admits
// every picture.
using PictureAdmission = std::function<bool(int width, int height)>;

// The one recipe every texture of the program is made with: a new 2-D texture from tightly packed rows of
// `components` bytes per pixel (bottom row first), every mipmap level built by GLU, trilinear minification,
// linear magnification and GL's default wrap modes. Leaves the texture bound and the unpack alignment at 1.
// Returns the texture name, or 0 (and creates nothing) when GLU cannot build the levels.
GLuint createMipmappedTexture(GLint components, int width, int height, GLenum format,
                              const std::uint8_t* pixels);
