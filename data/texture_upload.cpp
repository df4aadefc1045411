#include "data/texture_upload.h"

#include <GL/glu.h>

GLuint createMipmappedTexture(GLint components, int width, int height, GLenum format,
                              const std::uint8_t* pixels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    // Rows are packed with no padding; the default alignment of 4 would misread rows of 3-byte pixels.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels) != 0) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}
