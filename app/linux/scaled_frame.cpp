#include "app/linux/scaled_frame.h"

#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>

namespace {

// Framebuffer objects are core OpenGL 3.0 and ARB_framebuffer_object: outside the 1.1 headers the show is
// written against, so they are looked up once.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool complete() const {
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
               deleteRenderbuffers && bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer &&
               checkFramebufferStatus && blitFramebuffer;
    }
};

template <typename F> void lookUp(F& function, const char* name) {
    function = reinterpret_cast<F>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

const FramebufferFunctions& gl() {
    static const FramebufferFunctions functions = [] {
        FramebufferFunctions f;
        lookUp(f.genFramebuffers, "glGenFramebuffers");
        lookUp(f.deleteFramebuffers, "glDeleteFramebuffers");
        lookUp(f.bindFramebuffer, "glBindFramebuffer");
        lookUp(f.genRenderbuffers, "glGenRenderbuffers");
        lookUp(f.deleteRenderbuffers, "glDeleteRenderbuffers");
        lookUp(f.bindRenderbuffer, "glBindRenderbuffer");
        lookUp(f.renderbufferStorage, "glRenderbufferStorage");
        lookUp(f.framebufferRenderbuffer, "glFramebufferRenderbuffer");
        lookUp(f.checkFramebufferStatus, "glCheckFramebufferStatus");
        lookUp(f.blitFramebuffer, "glBlitFramebuffer");
        return f;
    }();
    return functions;
}

bool offersFramebufferObjects() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const bool core = version && version[0] >= '3' && version[0] <= '9';
    const bool extension =
        extensions && std::string(extensions).find("GL_ARB_framebuffer_object") != std::string::npos;
    return (core || extension) && gl().complete();
}

} // namespace

PictureSize pictureSizeWithin(int width, int height, int largestWidth, int largestHeight) {
    if (width <= largestWidth && height <= largestHeight)
        return {width, height};
    // The side that overshoots by more sets the scale.
    if (static_cast<long long>(width) * largestHeight >= static_cast<long long>(height) * largestWidth)
        return {largestWidth,
                std::max(1, static_cast<int>(static_cast<long long>(height) * largestWidth / width))};
    return {std::max(1, static_cast<int>(static_cast<long long>(width) * largestHeight / height)),
            largestHeight};
}

PictureSize largestOwnPicture() {
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    // Without framebuffer objects there is no renderbuffer to ask about (the question would be an error,
    // answered with 0); creating the frame then says what is missing.
    if (!offersFramebufferObjects())
        return {viewport[0], viewport[1]};
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    return {std::min(viewport[0], renderbuffer), std::min(viewport[1], renderbuffer)};
}

std::unique_ptr<ScaledFrame> ScaledFrame::create(int width, int height, std::string& error) {
    if (!offersFramebufferObjects()) {
        error = "this OpenGL has no framebuffer objects";
        return nullptr;
    }
    std::unique_ptr<ScaledFrame> frame(new ScaledFrame);
    frame->width_ = width;
    frame->height_ = height;
    const FramebufferFunctions& f = gl();
    f.genFramebuffers(1, &frame->framebuffer_);
    f.genRenderbuffers(1, &frame->colour_);
    f.genRenderbuffers(1, &frame->depth_);
    f.bindRenderbuffer(GL_RENDERBUFFER, frame->colour_);
    f.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    f.bindRenderbuffer(GL_RENDERBUFFER, frame->depth_);
    f.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    f.bindFramebuffer(GL_FRAMEBUFFER, frame->framebuffer_);
    f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frame->colour_);
    f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, frame->depth_);
    if (f.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "a " + std::to_string(width) + " x " + std::to_string(height) +
                " picture cannot be drawn off screen";
        return nullptr;
    }
    return frame;
}

ScaledFrame::~ScaledFrame() {
    const FramebufferFunctions& f = gl();
    f.bindFramebuffer(GL_FRAMEBUFFER, 0);
    f.deleteFramebuffers(1, &framebuffer_);
    f.deleteRenderbuffers(1, &colour_);
    f.deleteRenderbuffers(1, &depth_);
}

void ScaledFrame::present(int windowWidth, int windowHeight) {
    const FramebufferFunctions& f = gl();
    const FittedArea area = fitPicture(width_, height_, windowWidth, windowHeight);
    f.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // The bars: the whole window black first. The clear is bounded by the scissor box when scissoring is on,
    // which the show never turns on.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    f.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    f.blitFramebuffer(0, 0, width_, height_, area.x, area.y, area.x + area.width, area.y + area.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    f.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}
