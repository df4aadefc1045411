#include "app/linux/preview_window.h"

#include "app/linux/preview_picture.h"
#include "app/linux/x_errors.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>

namespace {

// One channel of a TrueColor pixel: the byte scaled to the mask's width and moved to its place.
unsigned long channel(std::uint8_t value, unsigned long mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    return (static_cast<unsigned long>(value) >> (8 - std::min(bits, 8))) << shift;
}

// The picture as a window of `width` × `height` shows it, in the window's own pixel format; null for a visual
// that is not TrueColor (the window then stays black, as it does on Windows when the picture cannot be
// loaded).
XImage* makePictureImage(Display* display, const XWindowAttributes& window, int width, int height) {
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(window.visual);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    const bool trueColour = info && info->c_class == TrueColor;
    if (info)
        XFree(info);
    if (!trueColour)
        return nullptr;
    XImage* image = XCreateImage(display, window.visual, static_cast<unsigned>(window.depth), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image)
        return nullptr;
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return nullptr;
    }
    const std::vector<std::uint8_t> rgb = previewPictureIn(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            XPutPixel(image, x, y,
                      channel(p[0], window.visual->red_mask) | channel(p[1], window.visual->green_mask) |
                          channel(p[2], window.visual->blue_mask));
        }
    return image;
}

} // namespace

int runPreviewWindow(Display* display, Window parent) {
    XWindowAttributes parentAttributes;
    const bool exists = parent != None && XGetWindowAttributes(display, parent, &parentAttributes) != 0;
    if (takeXError(display) != 0 || !exists || parentAttributes.c_class != InputOutput) {
        std::fprintf(stderr, "heliox: -p %lu: no window to show the preview in\n", parent);
        return 1;
    }

    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    Window preview = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(parentAttributes.width),
                                   static_cast<unsigned>(parentAttributes.height), 0, CopyFromParent,
                                   InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XSelectInput(display, parent, StructureNotifyMask);
    XMapWindow(display, preview);
    if (takeXError(display) != 0) {
        std::fprintf(stderr, "heliox: -p %lu: cannot create the preview window in it\n", parent);
        return 1;
    }

    // The picture is painted again for each new size of the window, when it is next shown.
    int width = parentAttributes.width, height = parentAttributes.height;
    XImage* picture = nullptr;
    GC gc = XCreateGC(display, preview, 0, nullptr);
    for (bool open = true; open;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xexpose.window == preview && event.xexpose.count == 0) {
            if (picture && (picture->width != width || picture->height != height)) {
                XDestroyImage(picture);
                picture = nullptr;
            }
            if (!picture)
                picture = makePictureImage(display, parentAttributes, width, height);
            if (picture)
                XPutImage(display, preview, gc, picture, 0, 0, 0, 0, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
        } else if (event.type == ConfigureNotify && event.xconfigure.window == parent) {
            XResizeWindow(display, preview, static_cast<unsigned>(event.xconfigure.width),
                          static_cast<unsigned>(event.xconfigure.height));
        } else if (event.type == ConfigureNotify && event.xconfigure.window == preview) {
            width = event.xconfigure.width;
            height = event.xconfigure.height;
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == preview) {
            open = false;
        }
    }
    XFreeGC(display, gc);
    if (picture)
        XDestroyImage(picture);
    return 0;
}
