#include "app/win32/gl_context.h"

bool choosePixelFormat(HDC dc) {
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

HGLRC createGlContext(HDC dc) {
    if (!choosePixelFormat(dc))
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
