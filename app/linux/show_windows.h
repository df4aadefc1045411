#pragma once

#include "app/linux/monitors.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <vector>

// The windows of one run: the window the show is drawn into, and, full screen, black windows over every
// other monitor. The windows this process made go when the object goes; a host's window is only borrowed.
class ShowWindows {
public:
    // Full screen on the first monitor (EWMH full-screen state under a window manager, an override-redirect
    // window without one), black windows on the others, the cursor hidden, keyboard and pointer grabbed so
    // that every touch reaches the run.
    static std::unique_ptr<ShowWindows> fullScreen(Display* display, XVisualInfo* visual,
                                                   const std::vector<MonitorArea>& monitors);
    // An ordinary resizable window with a title, placed by the window manager.
    static std::unique_ptr<ShowWindows> ordinary(Display* display, XVisualInfo* visual, int width,
                                                 int height);
    // The XScreenSaver host's window (or the root): never mapped or changed by us; only its structure and
    // expose events are asked for. Null when `window` names no window.
    static std::unique_ptr<ShowWindows> host(Display* display, Window window);

    ~ShowWindows();
    ShowWindows(const ShowWindows&) = delete;
    ShowWindows& operator=(const ShowWindows&) = delete;

    Window show() const { return show_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // A ConfigureNotify for the show's window: true when its size changed.
    bool takeSize(int width, int height);
    // Whether a ClientMessage is the window manager asking to close the window.
    bool isCloseRequest(const XClientMessageEvent& message) const;
    // Moves the pointer to the centre of the show's window.
    void centrePointer();

private:
    explicit ShowWindows(Display* display) : display_(display) {}
    Window createWindow(XVisualInfo* visual, const MonitorArea& area, bool overrideRedirect, long events);
    void waitUntilMapped(Window window);
    void grabInput();

    Display* display_;
    Window show_ = None;
    int width_ = 0, height_ = 0;
    bool borrowed_ = false;
    bool grabbed_ = false;
    Colormap colormap_ = None;
    Cursor blankCursor_ = None;
    Atom deleteWindow_ = None;
    std::vector<Window> covers_;
};
