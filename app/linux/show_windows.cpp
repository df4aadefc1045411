#include "app/linux/show_windows.h"

#include "app/linux/x_errors.h"

#include <X11/Xatom.h>

#include <chrono>
#include <thread>

namespace {

constexpr long showEvents =
    KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask | ExposureMask;
// Cover windows take the pointer's events themselves so that nothing done over them counts for the show.
constexpr long coverEvents = ButtonPressMask | PointerMotionMask;

// A window manager that follows EWMH names its check window on the root, and the window exists.
bool windowManagerRuns(Display* display, Window root) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1) {
        const Window wm = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
        XWindowAttributes attributes;
        found = XGetWindowAttributes(display, wm, &attributes) != 0;
    }
    if (data)
        XFree(data);
    takeXError(display); // a stale check window is no window manager
    return found;
}

Cursor makeBlankCursor(Display* display, Window window) {
    static const char noBits[8] = {};
    Pixmap empty = XCreateBitmapFromData(display, window, noBits, 8, 8);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

void nameWindow(Display* display, Window window) {
    XStoreName(display, window, "Heliox");
    XClassHint hint;
    char name[] = "heliox", className[] = "Heliox";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(display, window, &hint);
}

} // namespace

Window ShowWindows::createWindow(XVisualInfo* visual, const MonitorArea& area, bool overrideRedirect,
                                 long events) {
    const Window root = RootWindow(display_, visual->screen);
    if (colormap_ == None)
        colormap_ = XCreateColormap(display_, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.background_pixel = BlackPixel(display_, visual->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = events;
    attributes.override_redirect = overrideRedirect ? True : False;
    const unsigned long mask = CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect;
    Window window = XCreateWindow(display_, root, area.x, area.y, static_cast<unsigned>(area.width),
                                  static_cast<unsigned>(area.height), 0, visual->depth, InputOutput,
                                  visual->visual, mask, &attributes);
    nameWindow(display_, window);
    return window;
}

std::unique_ptr<ShowWindows> ShowWindows::fullScreen(Display* display, XVisualInfo* visual,
                                                     const std::vector<MonitorArea>& monitors) {
    std::unique_ptr<ShowWindows> windows(new ShowWindows(display));
    const Window root = RootWindow(display, visual->screen);
    const bool managed = windowManagerRuns(display, root);
    const MonitorArea area = monitors.front();

    // Black first, so that the show's window is mapped above it.
    for (std::size_t i = 1; i < monitors.size(); ++i)
        windows->covers_.push_back(windows->createWindow(visual, monitors[i], true, coverEvents));
    windows->show_ = windows->createWindow(visual, area, !managed, showEvents);
    windows->width_ = area.width;
    windows->height_ = area.height;
    if (managed) {
        const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
        Atom fullScreenState = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(display, windows->show_, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&fullScreenState), 1);
        windows->deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, windows->show_, &windows->deleteWindow_, 1);
    }
    windows->blankCursor_ = makeBlankCursor(display, windows->show_);
    XDefineCursor(display, windows->show_, windows->blankCursor_);
    for (Window cover : windows->covers_) {
        XDefineCursor(display, cover, windows->blankCursor_);
        XMapRaised(display, cover);
    }
    XMapRaised(display, windows->show_);
    windows->waitUntilMapped(windows->show_);
    windows->grabInput();
    return windows;
}

std::unique_ptr<ShowWindows> ShowWindows::ordinary(Display* display, XVisualInfo* visual, int width,
                                                   int height) {
    std::unique_ptr<ShowWindows> windows(new ShowWindows(display));
    windows->show_ = windows->createWindow(visual, {0, 0, width, height}, false, showEvents);
    windows->width_ = width;
    windows->height_ = height;
    windows->deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, windows->show_, &windows->deleteWindow_, 1);
    XMapWindow(display, windows->show_);
    windows->waitUntilMapped(windows->show_);
    return windows;
}

std::unique_ptr<ShowWindows> ShowWindows::host(Display* display, Window window) {
    XWindowAttributes attributes;
    const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
    if (takeXError(display) != 0 || !exists)
        return nullptr;
    std::unique_ptr<ShowWindows> windows(new ShowWindows(display));
    windows->show_ = window;
    windows->borrowed_ = true;
    windows->width_ = attributes.width;
    windows->height_ = attributes.height;
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    return windows;
}

ShowWindows::~ShowWindows() {
    if (grabbed_) {
        XUngrabPointer(display_, CurrentTime);
        XUngrabKeyboard(display_, CurrentTime);
    }
    if (borrowed_)
        XSelectInput(display_, show_, NoEventMask);
    else if (show_ != None)
        XDestroyWindow(display_, show_);
    for (Window cover : covers_)
        XDestroyWindow(display_, cover);
    if (blankCursor_ != None)
        XFreeCursor(display_, blankCursor_);
    if (colormap_ != None)
        XFreeColormap(display_, colormap_);
    XSync(display_, False);
}

void ShowWindows::waitUntilMapped(Window window) {
    // A window manager may take its time; the show does not wait for ever: drawing into a window that is
    // not yet viewable only loses those frames.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    XEvent event;
    while (std::chrono::steady_clock::now() < giveUp) {
        if (XCheckTypedWindowEvent(display_, window, MapNotify, &event))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void ShowWindows::grabInput() {
    // Another client may hold a grab for a moment (a menu, the window manager's key binding that started us).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    bool keyboard = false, pointer = false;
    while (!(keyboard && pointer) && std::chrono::steady_clock::now() < giveUp) {
        keyboard = keyboard || XGrabKeyboard(display_, show_, True, GrabModeAsync, GrabModeAsync,
                                             CurrentTime) == GrabSuccess;
        pointer =
            pointer || XGrabPointer(display_, show_, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                    GrabModeAsync, None, blankCursor_, CurrentTime) == GrabSuccess;
        if (!(keyboard && pointer))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    grabbed_ = keyboard || pointer;
    if (!keyboard)
        XSetInputFocus(display_, show_, RevertToParent, CurrentTime);
}

bool ShowWindows::takeSize(int width, int height) {
    if (width == width_ && height == height_)
        return false;
    width_ = width;
    height_ = height;
    return true;
}

bool ShowWindows::isCloseRequest(const XClientMessageEvent& message) const {
    return deleteWindow_ != None && message.format == 32 &&
           static_cast<Atom>(message.data.l[0]) == deleteWindow_;
}

void ShowWindows::centrePointer() {
    XWarpPointer(display_, None, show_, 0, 0, 0, 0, width_ / 2, height_ / 2);
    XFlush(display_);
}
