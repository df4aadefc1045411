#include "data/texture_upload.h"

#include <GL/glu.h>

GLuint createMipmappedTexture(GLint components, int width, int height, GLenum format,
                              const std::uint8_t* pixels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    // Rows are packed with no padding; the default alignment of 4 would misread rows of 3-byte pixels.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The filters are set before the levels arrive: told from the start that every level will follow, Mesa
    // makes room for the whole chain once, where otherwise it holds the first level twice (about 10 bytes
    // a pixel instead of 6).
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels) != 0) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    return texture;
}
