#include "data/jpeg_image.h"

#include "base/user_message.h"
#include "data/jpeg_header.h"
#include "data/resource_file.h"
#include "data/texture_upload.h"

#include <string>

bool loadJpeg(ShowFiles& files, std::string_view memberName, DecodedImage& image) {
    ResourceFile file;
    if (!file.open(memberName, files)) {
        image = {};
        showUserMessage("Error", "ARCH:Can't load JPG file: " + std::string(memberName));
        return false;
    }
    return decodeJpeg({file.data(), file.size()}, image);
}

GLuint createJpegTexture(ShowFiles& files, std::string_view memberName, const PictureAdmission& admit,
                         LitBox* lit) {
    ResourceFile file;
    if (!file.open(memberName, files)) {
        showUserMessage("Error", "ARCH:Can't load JPG file: " + std::string(memberName));
        return 0;
    }
    return jpegTextureOf({file.data(), file.size()}, admit, lit, nullptr);
}

GLuint jpegTextureOf(std::span<const std::uint8_t> file, const PictureAdmission& admit, LitBox* lit,
                     std::string* why) {
    const auto fail = [why](std::string reason) -> GLuint {
        if (why)
            *why = std::move(reason);
        return 0;
    };
    JpegHeader header;
    if (!readJpegHeader(file, header))
        return fail("not a picture");
    if (!pictureSizeFits(header.width, header.height, why))
        return 0;
    if (admit && !admit(header.width, header.height))
        return 0;
    DecodedImage image;
    if (!decodeJpeg(file, image))
        return fail("damaged or not a picture");
    if (lit)
        *lit = litBoxOfRgb(image.pixels.data(), image.width, image.height);
    const GLuint texture = createMipmappedTexture(3, image.width, image.height, GL_RGB, image.pixels.data());
    return texture ? texture : fail(noTextureMade);
}
