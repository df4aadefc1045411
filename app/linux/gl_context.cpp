#include "app/linux/gl_context.h"

#include <GL/gl.h>
#include <GL/glxext.h>

#include <cstring>
#include <vector>

namespace {

bool hasExtension(Display* display, int screen, const char* name) {
    const char* list = glXQueryExtensionsString(display, screen);
    if (!list)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

// Whether a graphics card draws for the screen, as Mesa tells through GLX_MESA_query_renderer. Without the
// extension (the card makers' own drivers) it is taken to be a card.
bool rendererIsAccelerated(Display* display, int screen) {
    if (!hasExtension(display, screen, "GLX_MESA_query_renderer"))
        return true;
    using QueryRendererInteger = Bool (*)(Display*, int, int, int, unsigned*);
    auto query = reinterpret_cast<QueryRendererInteger>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXQueryRendererIntegerMESA")));
    unsigned accelerated = 1;
    if (!query || !query(display, screen, 0, GLX_RENDERER_ACCELERATED_MESA, &accelerated))
        return true;
    return accelerated != 0;
}

} // namespace

XVisualInfo* chooseGlVisual(Display* display, int screen, bool multisample) {
    // Four samples a pixel cost a graphics card little; a software rasterizer pays for each of them (Mesa's
    // llvmpipe takes two and a half times the processor time a frame, the samples' averaging included), so
    // it draws plain.
    // clang-format off
    std::vector<int> best = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                             GLX_DEPTH_SIZE, 24, GLX_STENCIL_SIZE, 8};
    // clang-format on
    if (multisample && rendererIsAccelerated(display, screen)) {
        std::vector<int> smooth = best;
        smooth.insert(smooth.end(), {GLX_SAMPLE_BUFFERS, 1, GLX_SAMPLES, 4, None});
        if (XVisualInfo* visual = glXChooseVisual(display, screen, smooth.data()))
            return visual;
    }
    best.push_back(None);
    int plain[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    if (XVisualInfo* visual = glXChooseVisual(display, screen, best.data()))
        return visual;
    return glXChooseVisual(display, screen, plain);
}

XVisualInfo* glVisualOfWindow(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return nullptr;
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    int usesGl = 0;
    if (visual && (glXGetConfig(display, visual, GLX_USE_GL, &usesGl) != 0 || !usesGl)) {
        XFree(visual);
        return nullptr;
    }
    return visual;
}

std::unique_ptr<GlxContext> GlxContext::create(Display* display, Window window, XVisualInfo* visual,
                                               std::string& error) {
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    if (!context) {
        error = "cannot create an OpenGL context (GLX)";
        return nullptr;
    }
    if (!glXMakeCurrent(display, window, context)) {
        glXDestroyContext(display, context);
        error = "cannot make the OpenGL context current on the window";
        return nullptr;
    }
    int doubleBuffered = 0;
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
    return std::unique_ptr<GlxContext>(new GlxContext(display, window, context, doubleBuffered != 0));
}

GlxContext::GlxContext(Display* display, Window window, GLXContext context, bool doubleBuffered)
    : display_(display), window_(window), context_(context), doubleBuffered_(doubleBuffered) {}

GlxContext::~GlxContext() {
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
}

void GlxContext::swapBuffers() {
    if (doubleBuffered_)
        glXSwapBuffers(display_, window_);
    else
        glFinish();
}

void GlxContext::setSwapInterval(bool vSync) {
    const int screen = DefaultScreen(display_);
    const int interval = vSync ? 1 : 0;
    if (hasExtension(display_, screen, "GLX_EXT_swap_control")) {
        using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
        auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set)
            set(display_, window_, interval);
    } else if (hasExtension(display_, screen, "GLX_MESA_swap_control")) {
        using SwapIntervalMesa = int (*)(unsigned);
        auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set)
            set(static_cast<unsigned>(interval));
    }
}
