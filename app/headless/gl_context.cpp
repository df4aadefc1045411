#include "app/headless/gl_context.h"

#define GL_GLEXT_PROTOTYPES // framebuffer objects: glvnd's libOpenGL exports every core function
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>

struct HeadlessGlContext::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    // With multisampling, the single-sampled picture the samples are averaged into (see resolveSamples).
    GLuint resolvedFramebuffer = 0;
    GLuint resolvedColour = 0;
};

namespace {

// What makes the pixels the same on every machine, set before Mesa loads its driver:
// - LIBGL_ALWAYS_SOFTWARE and GALLIUM_DRIVER: always llvmpipe, even where a GPU render node exists, since
//   every GPU rasterizes a little differently;
// - LP_NUM_THREADS=0: llvmpipe rasterizes in the calling thread, so nothing depends on how many cores the
//   machine has or how busy they are, and a test process starts no worker threads on a shared build box.
//   A benchmark asks for every core instead, as a window's context has them.
// They are overwritten rather than defaulted: a context that draws differently from one run to the next
// would make every golden image worthless.
void pinSoftwareRenderer(HeadlessGlContext::Rasterizer rasterizer) {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    if (rasterizer == HeadlessGlContext::Rasterizer::callingThread)
        setenv("LP_NUM_THREADS", "0", 1);
    else
        unsetenv("LP_NUM_THREADS");
}

EGLint configAttribute(EGLDisplay display, EGLConfig config, EGLint attribute) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// The first configuration, in EGL's own order, whose buffers are exactly RGBA8 with a 24-bit depth buffer and
// no stencil, multisampled or not as asked. eglChooseConfig alone treats sizes as minimums, and which larger
// configuration it puts first differs between Mesa versions. Null when there is none.
EGLConfig chooseConfig(EGLDisplay display, bool multisampled) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_ALPHA_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             24,
                             EGL_SAMPLE_BUFFERS,
                             multisampled ? 1 : 0,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, configs, 64, &count))
        return nullptr;
    for (EGLint i = 0; i < count; ++i) {
        const EGLConfig config = configs[i];
        if (configAttribute(display, config, EGL_RED_SIZE) == 8 &&
            configAttribute(display, config, EGL_GREEN_SIZE) == 8 &&
            configAttribute(display, config, EGL_BLUE_SIZE) == 8 &&
            configAttribute(display, config, EGL_ALPHA_SIZE) == 8 &&
            configAttribute(display, config, EGL_DEPTH_SIZE) == 24 &&
            configAttribute(display, config, EGL_STENCIL_SIZE) == 0 &&
            (configAttribute(display, config, EGL_SAMPLES) > 1) == multisampled)
            return config;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<HeadlessGlContext> HeadlessGlContext::create(int width, int height, Rasterizer rasterizer,
                                                             Multisampling multisampling) {
    if (width <= 0 || height <= 0)
        return nullptr;
    pinSoftwareRenderer(rasterizer);

    auto egl = std::make_unique<Egl>();
    // The surfaceless platform needs neither an X server nor a DRM device.
    egl->display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (egl->display == EGL_NO_DISPLAY || !eglInitialize(egl->display, nullptr, nullptr))
        return nullptr;
    // Without a multisampled configuration the picture is drawn plain: smoothing is worth having, not
    // needing.
    EGLConfig config = multisampling == Multisampling::on ? chooseConfig(egl->display, true) : nullptr;
    if (!config)
        config = chooseConfig(egl->display, false);
    if (!config || !eglBindAPI(EGL_OPENGL_API))
        return nullptr;

    // Desktop OpenGL with the compatibility profile: fixed-function OpenGL 1.1 and GLU work in it.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    egl->context = eglCreateContext(egl->display, config, EGL_NO_CONTEXT, contextAttributes);
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    egl->surface = eglCreatePbufferSurface(egl->display, config, surfaceAttributes);
    auto context = std::unique_ptr<HeadlessGlContext>(new HeadlessGlContext(std::move(egl), width, height));
    const Egl& made = *context->egl_;
    if (made.context == EGL_NO_CONTEXT || made.surface == EGL_NO_SURFACE ||
        !eglMakeCurrent(made.display, made.surface, made.surface, made.context))
        return nullptr;
    glViewport(0, 0, width, height);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (sampleBuffers > 0) {
        Egl& resolved = *context->egl_;
        glGenRenderbuffers(1, &resolved.resolvedColour);
        glBindRenderbuffer(GL_RENDERBUFFER, resolved.resolvedColour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &resolved.resolvedFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, resolved.resolvedFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  resolved.resolvedColour);
        const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (!complete)
            return nullptr;
    }
    return context;
}

HeadlessGlContext::HeadlessGlContext(std::unique_ptr<Egl> egl, int width, int height)
    : egl_(std::move(egl)), width_(width), height_(height) {}

// The display stays initialised: EGL displays belong to the process, and terminating one would take every
// other context on it along.
HeadlessGlContext::~HeadlessGlContext() {
    if (eglGetCurrentContext() == egl_->context) {
        if (egl_->resolvedFramebuffer != 0) {
            glDeleteFramebuffers(1, &egl_->resolvedFramebuffer);
            glDeleteRenderbuffers(1, &egl_->resolvedColour);
        }
        eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (egl_->surface != EGL_NO_SURFACE)
        eglDestroySurface(egl_->display, egl_->surface);
    if (egl_->context != EGL_NO_CONTEXT)
        eglDestroyContext(egl_->display, egl_->context);
}

void HeadlessGlContext::resolveSamples() const {
    if (egl_->resolvedFramebuffer == 0)
        return;
    // A blit is clipped by the scissor box: the whole picture is wanted whatever the drawing left set.
    const GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, egl_->resolvedFramebuffer);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (scissored)
        glEnable(GL_SCISSOR_TEST);
}

std::vector<std::uint8_t> HeadlessGlContext::readPixels() const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
    // Mesa reads a multisampled pbuffer's colour without averaging its samples (one sample a pixel, the
    // edges as jagged as without multisampling): the picture is read from the resolved copy instead.
    const bool resolved = egl_->resolvedFramebuffer != 0;
    if (resolved) {
        resolveSamples();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, egl_->resolvedFramebuffer);
    }
    // Rows of four-byte pixels meet the default pack alignment of 4, so no pixel-store state changes.
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (resolved)
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return pixels;
}
