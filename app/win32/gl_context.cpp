#include "app/win32/gl_context.h"

#include <GL/gl.h>
#include <GL/wglext.h>

namespace {

// A double-buffered RGBA format with 32 colour, 24 depth and 8 stencil bits, or the display's first format
// when none matches.
bool setPlainPixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    format.cStencilBits = 8;
    int number = ChoosePixelFormat(dc, &format);
    if (number == 0) {
        number = 1;
        if (DescribePixelFormat(dc, number, sizeof format, &format) == 0)
            return false;
    }
    return SetPixelFormat(dc, number, &format) != FALSE;
}

// The number of a hardware-accelerated format like the plain one with four samples a pixel on `dc`'s
// display, or 0 when there is none. Multisampled formats are found only through wglChoosePixelFormatARB,
// which needs a current context, and a window's format can be set only once: the context is made on a
// hidden window of its own, which goes again at once.
int multisampledFormat(HDC dc) {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe)
        return 0;
    HDC probeDc = GetDC(probe);
    int number = 0;
    if (setPlainPixelFormat(probeDc)) {
        HGLRC probeContext = wglCreateContext(probeDc);
        if (probeContext && wglMakeCurrent(probeDc, probeContext)) {
            auto choose = reinterpret_cast<PFNWGLCHOOSEPIXELFORMATARBPROC>(
                reinterpret_cast<void*>(wglGetProcAddress("wglChoosePixelFormatARB")));
            const int wanted[] = {WGL_DRAW_TO_WINDOW_ARB,
                                  GL_TRUE,
                                  WGL_SUPPORT_OPENGL_ARB,
                                  GL_TRUE,
                                  WGL_DOUBLE_BUFFER_ARB,
                                  GL_TRUE,
                                  WGL_ACCELERATION_ARB,
                                  WGL_FULL_ACCELERATION_ARB,
                                  WGL_PIXEL_TYPE_ARB,
                                  WGL_TYPE_RGBA_ARB,
                                  WGL_COLOR_BITS_ARB,
                                  24,
                                  WGL_DEPTH_BITS_ARB,
                                  24,
                                  WGL_STENCIL_BITS_ARB,
                                  8,
                                  WGL_SAMPLE_BUFFERS_ARB,
                                  1,
                                  WGL_SAMPLES_ARB,
                                  4,
                                  0};
            UINT count = 0;
            if (!choose || !choose(dc, wanted, nullptr, 1, &number, &count) || count == 0)
                number = 0;
            wglMakeCurrent(nullptr, nullptr);
        }
        if (probeContext)
            wglDeleteContext(probeContext);
    }
    ReleaseDC(probe, probeDc);
    DestroyWindow(probe);
    return number;
}

} // namespace

bool choosePixelFormat(HDC dc, bool multisample) {
    if (multisample) {
        if (const int number = multisampledFormat(dc)) {
            PIXELFORMATDESCRIPTOR format{};
            if (DescribePixelFormat(dc, number, sizeof format, &format) != 0 &&
                SetPixelFormat(dc, number, &format) != FALSE)
                return true;
        }
    }
    return setPlainPixelFormat(dc);
}

HGLRC createGlContext(HDC dc, bool multisample) {
    if (!choosePixelFormat(dc, multisample))
        return nullptr;
    HGLRC context = wglCreateContext(dc);
    if (context)
        wglMakeCurrent(dc, context);
    return context;
}

void deleteGlContext(HGLRC context) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
}
