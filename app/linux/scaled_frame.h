#pragma once

#include "app/fitted_picture.h"

#include <GL/gl.h>

#include <memory>
#include <string>

// The picture drawn at a size of its own (the settings' Width × Height, as the Windows saver changes the
// display mode to) and shown scaled to fill the window, its shape kept, with black bars where the shapes
// differ. Nothing about the monitor changes; a small picture also keeps a software renderer's frame rate on a
// large screen. Everything drawn while it exists goes into its framebuffer.
class ScaledFrame {
public:
    // Null, with `error` saying why, when the GL offers no framebuffer objects.
    static std::unique_ptr<ScaledFrame> create(int width, int height, std::string& error);
    ~ScaledFrame();
    ScaledFrame(const ScaledFrame&) = delete;
    ScaledFrame& operator=(const ScaledFrame&) = delete;

    // Copies the picture into the window's back buffer, scaled to fit `windowWidth` × `windowHeight` and
    // centred; call before each buffer swap. Drawing goes on into the picture afterwards.
    void present(int windowWidth, int windowHeight);

private:
    ScaledFrame() = default;
    int width_ = 0;
    int height_ = 0;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
};

// The size a picture of its own is drawn at: `width` × `height`, made smaller with its shape kept until it
// fits `largestWidth` × `largestHeight` (what the monitor shows, or the GL context can draw). A picture
// larger than the monitor would only be shrunk again on its way there, at a cost that grows with its area.
struct PictureSize {
    int width, height;
};
PictureSize pictureSizeWithin(int width, int height, int largestWidth, int largestHeight);

// The largest picture this context can draw into off screen (its viewport and renderbuffer limits).
PictureSize largestOwnPicture();
