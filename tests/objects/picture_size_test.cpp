// The glows and lens effects look the same at every size of picture: a small preview is the large picture
// scaled down, and a wide picture of the same height shows the same sprites, only with more beside them.
#include "app/gl_setup.h"
#include "app/headless/gl_context.h"
#include "base/viewport.h"
#include "data/texture_registry.h"
#include "data/texture_upload.h"
#include "objects/camera.h"
#include "objects/show.h"
#include "tests/objects/script_objects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

// A round glow, white at its centre and black at its rim, as the show's glow pictures are.
GLuint glowTexture() {
    constexpr int size = 64;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float r = std::hypot(x + 0.5f - size / 2.0f, y + 0.5f - size / 2.0f) / (size / 2.0f);
            const auto level = static_cast<std::uint8_t>(255 * std::max(0.0f, 1 - r) * std::max(0.0f, 1 - r));
            rgb.insert(rgb.end(), {level, level, level});
        }
    }
    return createMipmappedTexture(3, size, size, GL_RGB, rgb.data());
}

// A flame ring seen a little from above, a halo around the invisible sphere it circles, and the glare of a
// light beside them with its lens effect: every kind of object that glows or is drawn in window pixels.
constexpr std::string_view glowingScene =
    "flame\nbegin\nsize 0\nangle 0.1\noffset 300\n"
    "colorfrom V(1 0.7 0.2)\ncolorto V(0.9 0.1 0)\nend\n"
    "billboard\nbegin\noreol V(0 0 0) 1500\nsize 2500\nalpha 0.5\n"
    "rotation 0 0\ntexture glow\nend\n"
    "flare\nbegin\nposition V(1800 900 0)\nsize 60\nalpha 1 fade: 0.1 0.1\n"
    "rotation 0 0\ntexture glow\nlenseffect\n\tsize 8\n\ttexture glow\n"
    "\ttexture glow\n\ttexture glow\nend\n"
    "ENDWORLD\n";

// The scene drawn once, as the first frame of a show, in a picture of the given size.
Pixels render(int width, int height) {
    Show show;
    const auto context = HeadlessGlContext::create(width, height);
    EXPECT_NE(context, nullptr);
    if (!context)
        return {};
    setViewport(width, height);
    setupGL(width, height);
    show.textures = {{glowTexture(), "glow", {}}};
    const ObjectList objects = readScript(show, glowingScene);
    EXPECT_EQ(objects.size(), 3u);

    Camera& viewer = show.camera;
    viewer.eye = viewer.position = {0, 1500, 12000};
    viewer.forward = normalize(Vec3{0, -1500, -12000});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    viewer.lookAt();
    for (SceneObject* object : objects)
        object->draw(show);
    show.textures.clear();
    setViewport(800, 600);
    return context->readPixels();
}

// Each `factor` × `factor` block of a picture averaged into one pixel.
Pixels scaledDown(const Pixels& pixels, int width, int height, int factor) {
    Pixels small;
    for (int y = 0; y < height; y += factor)
        for (int x = 0; x < width; x += factor)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += pixels[((y + dy) * width + x + dx) * 4 + c];
                small.push_back(static_cast<std::uint8_t>(sum / (factor * factor)));
            }
    return small;
}

// The columns from `left` on of a picture, `width` of them.
Pixels columns(const Pixels& pixels, int pictureWidth, int left, int width) {
    Pixels part;
    for (std::size_t row = 0; row < pixels.size() / (4 * pictureWidth); ++row) {
        const auto start = pixels.begin() + static_cast<long>((row * pictureWidth + left) * 4);
        part.insert(part.end(), start, start + width * 4);
    }
    return part;
}

double meanDifference(const Pixels& a, const Pixels& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

// The share of pixels with some colour channel over a quarter of full light.
double brightShare(const Pixels& pixels) {
    std::size_t bright = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        bright += std::max({pixels[i], pixels[i + 1], pixels[i + 2]}) > 64;
    return static_cast<double>(bright) / static_cast<double>(pixels.size() / 4);
}

// `tolerance` is the mean difference allowed per colour value, out of 255.
void expectAlike(const Pixels& picture, const Pixels& reference, double tolerance) {
    ASSERT_EQ(picture.size(), reference.size());
    EXPECT_GT(brightShare(reference), 0.05) << "the scene should show plenty of glow";
    EXPECT_LT(meanDifference(picture, reference), tolerance);
    EXPECT_NEAR(brightShare(picture), brightShare(reference), 0.01);
}

} // namespace

TEST(GlowsAtAnySize, APreviewIsTheLargePictureScaledDown) {
    const Pixels small = render(320, 240);
    const Pixels large = render(960, 720);
    ASSERT_FALSE(small.empty());
    ASSERT_FALSE(large.empty());
    expectAlike(scaledDown(large, 960, 720, 3), small, 1.0); // textures sampled at another scale
}

TEST(GlowsAtAnySize, AWidePictureShowsTheSameSpritesBesideMore) {
    const Pixels narrow = render(320, 240);
    const Pixels wide = render(432, 240);
    ASSERT_FALSE(wide.empty());
    expectAlike(columns(wide, 432, 56, 320), narrow, 0.05); // the very same pixels
}
