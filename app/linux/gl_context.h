#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>

// The visual a new window of the show is made with: RGBA, double-buffered, a 24-bit depth buffer and
// 8 stencil bits when the server has them, a smaller depth buffer when it has not; multisampled when asked
// for (the Multisample setting), a graphics card draws and the server has such a visual, plain otherwise.
// Null when the server offers no OpenGL visual at all. Free the result with XFree.
XVisualInfo* chooseGlVisual(Display* display, int screen, bool multisample);

// The visual of an existing window (the XScreenSaver host's), when OpenGL can draw into it; null otherwise.
XVisualInfo* glVisualOfWindow(Display* display, Window window);

// A GLX context current on one window for as long as it lives.
class GlxContext {
public:
    // Null, with `error` saying why, when the context cannot be made or made current.
    static std::unique_ptr<GlxContext> create(Display* display, Window window, XVisualInfo* visual,
                                              std::string& error);
    ~GlxContext();
    GlxContext(const GlxContext&) = delete;
    GlxContext& operator=(const GlxContext&) = delete;

    void swapBuffers();

    // Waits for the vertical blank on each swap (VSync) or not, through GLX_EXT_swap_control or
    // GLX_MESA_swap_control. Without either nothing is set, as the setting has always behaved.
    void setSwapInterval(bool vSync);

private:
    GlxContext(Display* display, Window window, GLXContext context, bool doubleBuffered);
    Display* display_;
    Window window_;
    GLXContext context_;
    bool doubleBuffered_;
};
