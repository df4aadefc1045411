// Texture making at start-up: decoding a picture from its bytes and building every mipmap level, in the
// headless context. Reports textures per second and seconds per megapixel for JPEG and TGA pictures.
#include "app/headless/gl_context.h"
#include "data/jpeg_image.h"
#include "data/texture_upload.h"
#include "data/tga_image.h"
#include "tests/data/picture_files.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A smooth picture with some detail, like a painted planet surface: gradients plus a fine pattern.
std::vector<std::uint8_t> paintedRows(int side, int components) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(side) * side * components);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < components; ++c)
                pixels.push_back(
                    static_cast<std::uint8_t>((x * (c + 1) + y * (3 - c) + ((x ^ y) & 15)) & 0xFF));
    return pixels;
}

void reportRates(benchmark::State& state, int side) {
    const double megapixels = static_cast<double>(side) * side / 1e6;
    state.counters["textures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["s/Mpx"] = benchmark::Counter(megapixels * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void jpegTexture(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const auto context = HeadlessGlContext::create(16, 16);
    const std::vector<std::uint8_t> file = rgbJpeg(side, side, paintedRows(side, 3));
    for (auto _ : state) {
        DecodedImage image;
        if (!decodeJpeg(file, image))
            std::abort();
        GLuint texture = createMipmappedTexture(3, image.width, image.height, GL_RGB, image.pixels.data());
        glDeleteTextures(1, &texture);
    }
    glFinish();
    reportRates(state, side);
}

void tgaTexture(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const auto depth = static_cast<std::uint8_t>(state.range(1));
    const auto context = HeadlessGlContext::create(16, 16);
    const TgaFile tga{.type = 2,
                      .depth = depth,
                      .width = static_cast<std::uint16_t>(side),
                      .height = static_cast<std::uint16_t>(side),
                      .data = paintedRows(side, depth / 8)};
    const std::vector<std::uint8_t> file = tga.bytes();
    for (auto _ : state) {
        TgaHeader image;
        if (!decodeTga(file, image))
            std::abort();
        const std::vector<std::uint8_t> rgba = tgaPixelsAsRgba(image);
        GLuint texture = createMipmappedTexture(4, image.width, image.height, GL_RGBA, rgba.data());
        glDeleteTextures(1, &texture);
    }
    glFinish();
    reportRates(state, side);
}

} // namespace

BENCHMARK(jpegTexture)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(tgaTexture)->Args({256, 32})->Args({1024, 32})->Args({1024, 24})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
