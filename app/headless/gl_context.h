#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// An off-screen OpenGL context with nothing behind it: no display, no window. It is what the drawing tests
// and `--render` draw into, so the same commands give the same pixels on every machine: Mesa's llvmpipe
// rasterizer, a colour buffer of 8-bit red, green, blue and alpha, a 24-bit depth buffer, no stencil,
// multisampling only when asked for, and a compatibility-profile context in which OpenGL 1.1 and GLU work.
class HeadlessGlContext {
public:
    // Where llvmpipe rasterizes: in the calling thread, so that nothing depends on the machine's cores
    // (tests, renders), or in worker threads on every core, as it does behind a window (frame-time
    // benchmarks).
    enum class Rasterizer { callingThread, allCores };

    // Whether edges are smoothed by several samples a pixel (the Multisample setting), as a window's
    // context does; tests that compare exact pixels along edges draw without.
    enum class Multisampling { off, on };

    // Creates the context with a drawing surface of the given size and makes it current on the calling
    // thread; multisampled when asked for and Mesa offers it, plain otherwise. Null when no such context can
    // be made (no Mesa, no matching configuration).
    static std::unique_ptr<HeadlessGlContext> create(int width, int height,
                                                     Rasterizer rasterizer = Rasterizer::callingThread,
                                                     Multisampling multisampling = Multisampling::off);

    ~HeadlessGlContext();
    HeadlessGlContext(const HeadlessGlContext&) = delete;
    HeadlessGlContext& operator=(const HeadlessGlContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // The colour buffer as width × height RGBA pixels, bottom row first (the order glReadPixels gives); with
    // multisampling, each pixel the average of its samples.
    std::vector<std::uint8_t> readPixels() const;

    // With multisampling, averages each pixel's samples into the picture readPixels returns, as a window's
    // buffer swap does; nothing without. The drawing surface keeps its samples, so depth reads still work.
    void resolveSamples() const;

private:
    struct Egl;
    HeadlessGlContext(std::unique_ptr<Egl> egl, int width, int height);

    std::unique_ptr<Egl> egl_;
    int width_;
    int height_;
};
