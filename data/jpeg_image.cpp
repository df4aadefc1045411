#include "data/jpeg_image.h"

#include "base/user_message.h"
#include "data/resource_file.h"
#include "data/texture_upload.h"

#include <string>

bool loadJpeg(std::string_view memberName, DecodedImage& image) {
    ResourceFile file;
    if (!file.open(memberName)) {
        image = {};
        showUserMessage("Error", "ARCH:Can't load JPG file: " + std::string(memberName));
        return false;
    }
    return decodeJpeg({file.data(), file.size()}, image);
}

GLuint createJpegTexture(std::string_view memberName, const PictureAdmission& admit, LitBox* lit) {
    DecodedImage image;
    if (!loadJpeg(memberName, image) || (admit && !admit(image.width, image.height)))
        return 0;
    if (lit)
        *lit = litBoxOfRgb(image.pixels.data(), image.width, image.height);
    return createMipmappedTexture(3, image.width, image.height, GL_RGB, image.pixels.data());
}
