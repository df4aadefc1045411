#include "base/user_message.h"
#include "data/jpeg_image.h"
#include "data/tga_image.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"

#include <string>

using Bytes = std::vector<std::uint8_t>;
using Rgba = std::array<std::uint8_t, 4>;

namespace {

GLint levelParameter(int level, GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint boundTexture() {
    GLint texture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    return texture;
}

// The bound texture stretched over the whole surface, texture row 0 at the bottom.
void drawBoundTextureOverSurface() {
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
}

// A 4 × 4 TGA of the quadrant picture at `depth`, rows stored bottom-up as TGA files keep them.
TgaFile quadrantsTga(std::uint8_t depth) {
    const int components = depth / 8;
    const Bytes rgbTopFirst = quadrantsTopRowFirst(3);
    Bytes data;
    for (int y = 3; y >= 0; --y)
        for (int x = 0; x < 4; ++x) {
            const std::uint8_t* rgb = &rgbTopFirst[static_cast<std::size_t>((y * 4 + x) * 3)];
            if (components == 1)
                data.push_back(rgb[0]); // the red channel as grey
            else
                data.insert(data.end(), {rgb[2], rgb[1], rgb[0]});
            if (components == 4)
                data.push_back(static_cast<std::uint8_t>(x < 2 ? 255 : 100));
        }
    return {.type = static_cast<std::uint8_t>(components == 1 ? 3 : 2),
            .depth = depth,
            .width = 4,
            .height = 4,
            .data = data};
}

void expectNear(Rgba actual, Rgba expected, int tolerance) {
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

} // namespace

class TextureUploadTest : public GlTest {
protected:
    // The texture must be bound, complete and made by the common recipe, with every mipmap level down to
    // 1 × 1 present.
    void expectMipmappedTexture(GLuint texture, GLint components) {
        ASSERT_NE(texture, 0u);
        EXPECT_EQ(boundTexture(), static_cast<GLint>(texture));
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 4);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 4);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), components);
        EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 2);
        EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(2, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        GLint alignment = -1;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 1);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The colour at the middle of each quadrant of the surface: top-left, top-right, bottom-left,
    // bottom-right. Inside a quadrant the linear filter only meets texels of one colour.
    std::array<Rgba, 4> quadrantColours() {
        glClear(GL_COLOR_BUFFER_BIT);
        drawBoundTextureOverSurface();
        const int low = surfaceWidth / 4, high = surfaceWidth * 3 / 4;
        return {pixelAt(low, high), pixelAt(high, high), pixelAt(low, low), pixelAt(high, low)};
    }
};

TEST_F(TextureUploadTest, TgaTexturesOfEveryDepthAreRgbaTheRightWayUp) {
    TestArchive archive({{"textures\\grey.tga", quadrantsTga(8).bytes()},
                         {"textures\\colour.tga", quadrantsTga(24).bytes()},
                         {"textures\\alpha.tga", quadrantsTga(32).bytes()}});
    ShowFiles files(archive.path());

    const GLuint grey = createTgaTexture(files, "textures\\grey.tga");
    expectMipmappedTexture(grey, 4);
    EXPECT_EQ(quadrantColours(), (std::array<Rgba, 4>{Rgba{255, 255, 255, 255}, Rgba{0, 0, 0, 255},
                                                      Rgba{0, 0, 0, 255}, Rgba{255, 255, 255, 255}}));

    const GLuint colour = createTgaTexture(files, "textures\\colour.tga");
    expectMipmappedTexture(colour, 4);
    EXPECT_EQ(quadrantColours(), (std::array<Rgba, 4>{Rgba{255, 0, 0, 255}, Rgba{0, 255, 0, 255},
                                                      Rgba{0, 0, 255, 255}, Rgba{255, 255, 255, 255}}));

    const GLuint alpha = createTgaTexture(files, "textures\\alpha.tga");
    expectMipmappedTexture(alpha, 4);
    EXPECT_EQ(quadrantColours(), (std::array<Rgba, 4>{Rgba{255, 0, 0, 255}, Rgba{0, 255, 0, 100},
                                                      Rgba{0, 0, 255, 255}, Rgba{255, 255, 255, 100}}));

    EXPECT_NE(grey, colour);
    EXPECT_NE(colour, alpha);
}

TEST_F(TextureUploadTest, JpegTexturesAreRgbTheRightWayUp) {
    TestArchive archive({{"textures\\quadrants.jpg", rgbJpeg(4, 4, quadrantsTopRowFirst(3))}});
    ShowFiles files(archive.path());
    const GLuint texture = createJpegTexture(files, "textures\\quadrants.jpg");
    expectMipmappedTexture(texture, 3);
    const auto colours = quadrantColours();
    expectNear(colours[0], {255, 0, 0, 255}, 8);
    expectNear(colours[1], {0, 255, 0, 255}, 8);
    expectNear(colours[2], {0, 0, 255, 255}, 8);
    expectNear(colours[3], {255, 255, 255, 255}, 8);
}

TEST_F(TextureUploadTest, MissingPicturesMakeNoTextureAndOnlyAMissingJpegSaysSo) {
    TestArchive archive(
        {{"textures\\broken.jpg", Bytes{0xFF, 0xD8, 0xFF}}, {"textures\\broken.tga", Bytes{0, 0, 2}}});
    ShowFiles files(archive.path());
    std::vector<std::string> messages;
    const UserMessageHandler previous =
        setUserMessageHandler([&](const char* caption, const std::string& text) {
            messages.push_back(std::string(caption) + "|" + text);
        });

    EXPECT_EQ(createTgaTexture(files, "textures\\missing.tga"), 0u);
    EXPECT_EQ(createTgaTexture(files, "textures\\broken.tga"), 0u);
    EXPECT_EQ(createJpegTexture(files, "textures\\broken.jpg"), 0u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(createJpegTexture(files, "textures\\missing.jpg"), 0u);
    EXPECT_EQ(messages, std::vector<std::string>{"Error|ARCH:Can't load JPG file: textures\\missing.jpg"});
    EXPECT_EQ(boundTexture(), 0);
    setUserMessageHandler(previous);
}
