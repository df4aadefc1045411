#include "tools/texgen/texture_table.h"

#include "tools/texgen/giant_textures.h"
#include "tools/texgen/jpeg_writer.h"
#include "tools/texgen/lettering_textures.h"
#include "tools/texgen/moon_textures.h"
#include "tools/texgen/rocky_textures.h"
#include "tools/texgen/sky_texture.h"
#include "tools/texgen/sprite_textures.h"
#include "tools/texgen/tga_writer.h"

namespace {

// Sizes trade sharpness against start-up time: the saver decodes and mipmaps every texture before the first
// frame. Planets fill much of the screen at times, sprites never do.
constexpr int planetWidth = 1024;
constexpr int planetHeight = 512;
constexpr int smallBodyWidth = 512;
constexpr int smallBodyHeight = 256;
constexpr int spriteSize = 128;
// The moons are small beside the planets and seldom close: a quarter of a small body's texels keeps the
// textures they added to start-up to a few percent.
constexpr int moonWidth = 256;
constexpr int moonHeight = 128;

const TextureRecipe recipes[] = {
    {"sun.jpg", TextureFormat::jpeg, [] { return paintSun(planetWidth, planetHeight); }},
    {"mercury.jpg", TextureFormat::jpeg, [] { return paintMercury(smallBodyWidth, smallBodyHeight); }},
    {"venus.jpg", TextureFormat::jpeg, [] { return paintVenus(smallBodyWidth, smallBodyHeight); }},
    {"earth.jpg", TextureFormat::jpeg, [] { return paintEarth(planetWidth, planetHeight); }},
    {"earth_clouds.tga", TextureFormat::tga, [] { return paintEarthClouds(planetWidth, planetHeight); }},
    {"moon.jpg", TextureFormat::jpeg, [] { return paintMoon(smallBodyWidth, smallBodyHeight); }},
    {"mars.jpg", TextureFormat::jpeg, [] { return paintMars(smallBodyWidth, smallBodyHeight); }},
    {"jupiter.jpg", TextureFormat::jpeg, [] { return paintJupiter(planetWidth, planetHeight); }},
    {"saturn.jpg", TextureFormat::jpeg, [] { return paintSaturn(planetWidth, planetHeight); }},
    {"saturn_ring.tga", TextureFormat::tga, [] { return paintSaturnRing(512, 8); }},
    {"uranus.jpg", TextureFormat::jpeg, [] { return paintUranus(smallBodyWidth, smallBodyHeight); }},
    {"neptune.jpg", TextureFormat::jpeg, [] { return paintNeptune(smallBodyWidth, smallBodyHeight); }},
    {"stars.jpg", TextureFormat::jpeg, [] { return paintStarfield(2048, 1024); }},
    {"glow.jpg", TextureFormat::jpeg, [] { return paintGlow(spriteSize); }},
    {"halo.jpg", TextureFormat::jpeg, [] { return paintHalo(256); }},
    {"flare.jpg", TextureFormat::jpeg, [] { return paintFlare(256); }},
    {"lens_disc.jpg", TextureFormat::jpeg, [] { return paintLensDisc(spriteSize); }},
    {"lens_ring.jpg", TextureFormat::jpeg, [] { return paintLensRing(spriteSize); }},
    {"lens_hex.jpg", TextureFormat::jpeg, [] { return paintLensHexagon(spriteSize); }},
    {"lens_streak.jpg", TextureFormat::jpeg, [] { return paintLensStreak(spriteSize); }},
    {"dot.jpg", TextureFormat::jpeg, [] { return paintDot(64); }},
    {"spark.jpg", TextureFormat::jpeg, [] { return paintSpark(64); }},
    {"lightning.jpg", TextureFormat::jpeg, [] { return paintLightning(smallBodyWidth, smallBodyHeight); }},
    {"comet_tail.tga", TextureFormat::tga, [] { return paintCometTail(256); }},
    {"galaxy.jpg", TextureFormat::jpeg, [] { return paintGalaxy(spriteSize); }},
    {"io.jpg", TextureFormat::jpeg, [] { return paintIo(moonWidth, moonHeight); }},
    {"europa.jpg", TextureFormat::jpeg, [] { return paintEuropa(moonWidth, moonHeight); }},
    {"ganymede.jpg", TextureFormat::jpeg, [] { return paintGanymede(moonWidth, moonHeight); }},
    {"callisto.jpg", TextureFormat::jpeg, [] { return paintCallisto(moonWidth, moonHeight); }},
    {"titan.jpg", TextureFormat::jpeg, [] { return paintTitan(moonWidth, moonHeight); }},
    {"icy_moon.jpg", TextureFormat::jpeg, [] { return paintIcyMoon(moonWidth, moonHeight); }},
    {"triton.jpg", TextureFormat::jpeg, [] { return paintTriton(moonWidth, moonHeight); }},
    {"hull.jpg", TextureFormat::jpeg, [] { return paintHullPanels(256, 128); }},
    {"air.jpg", TextureFormat::jpeg, [] { return paintAirGlow(64, 32); }},
    {"c.jpg", TextureFormat::jpeg, [] { return paintClockGlyphs(256); }},
    {"load.jpg", TextureFormat::jpeg, [] { return paintLoading(256); }},
    {"sign.jpg", TextureFormat::jpeg, [] { return paintSign(256); }},
};

} // namespace

std::span<const TextureRecipe> textureRecipes() {
    return recipes;
}

std::vector<std::uint8_t> encodeTexture(const TextureRecipe& recipe, const Picture& picture) {
    if (recipe.format == TextureFormat::tga)
        return tgaFile(picture.width, picture.height, picture.rgbaBytes());
    return jpegFile(picture.width, picture.height, JCS_RGB, JCS_YCbCr, picture.rgbBytes(), {.quality = 90});
}
