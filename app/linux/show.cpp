#include "app/linux/show.h"

#include "app/frame_cap.h"
#include "app/gl_setup.h"
#include "app/linux/fatal_signals.h"
#include "app/linux/gamma_guard.h"
#include "app/linux/gamma_rescue.h"
#include "app/linux/gl_context.h"
#include "app/linux/input_events.h"
#include "app/linux/music_player.h"
#include "app/linux/scaled_frame.h"
#include "app/linux/show_target.h"
#include "app/linux/show_windows.h"
#include "app/linux/stop_signals.h"
#include "app/linux/x_errors.h"
#include "app/linux/xrandr_gamma.h"
#include "app/run_overrides.h"
#include "app/saver_run.h"
#include "app/show_archive.h"
#include "base/printable_text.h"
#include "base/user_message.h"
#include "overlay/loading_screen.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

struct XVisualInfoFree {
    void operator()(XVisualInfo* visual) const { XFree(visual); }
};
using VisualInfo = std::unique_ptr<XVisualInfo, XVisualInfoFree>;

// What a fatal signal's handler can still reach: the run's connection, to tell a crash from the X server
// going away (libraries fall over in many places when it goes half way through a request), and the ramps
// to put back.
Display* displayOfRun = nullptr;
const GammaRescue* gammaRescue = nullptr;

void lastWordsOfRun() {
    // With the server gone the ramps went with it, and writing them would only fail inside Xlib.
    if (displayOfRun && xServerGone(displayOfRun))
        endAsConnectionLost();
    // Should it go while the ramps are written, the process ends there, without the handler's usual
    // restoring through a new connection, which allocates.
    skipLastWordsOnLostConnection();
    if (gammaRescue)
        gammaRescue->writeBack();
}

// The gamma ramps the run changed, kept where the lost-connection handler can reach them: the old connection
// is gone by then, so the ramps go back through a new one.
struct GammaOnScreen {
    std::string displayName;
    int screen = 0;
    std::unique_ptr<XrandrGamma> crtcs;
    std::unique_ptr<GammaGuard> guard;
    std::unique_ptr<GammaRescue> rescue; // for a fatal signal, which cannot use the run's own connection

    ~GammaOnScreen() { gammaRescue = nullptr; }

    void restoreThroughNewConnection() const {
        if (!guard)
            return;
        DisplayConnection fresh(XOpenDisplay(displayName.c_str()));
        if (!fresh)
            return;
        XrandrGamma again(fresh.get(), RootWindow(fresh.get(), screen));
        guard->restoreThrough(again);
    }
};

// With UseDesktop=0 the picture is drawn at Width x Height: no larger than the largest size given, its shape
// kept, with a word when it had to be made smaller.
PictureSize ownPictureSize(int largestWidth, int largestHeight, const char* largestWhat) {
    const int width = static_cast<int>(settings.width), height = static_cast<int>(settings.height);
    const PictureSize size = pictureSizeWithin(width, height, largestWidth, largestHeight);
    if (size.width != width || size.height != height)
        std::cerr << "heliox: UseDesktop=0: " << width << " x " << height << " is more than " << largestWhat
                  << " (" << largestWidth << " x " << largestHeight << "); drawing at " << size.width << " x "
                  << size.height << "\n";
    return size;
}

// The windows of the run and, in `visual`, the visual its GL context must draw with.
std::unique_ptr<ShowWindows> openWindows(Display* display, const ShowTarget& target, VisualInfo& visual) {
    const int screen = DefaultScreen(display);
    if (target.place == ShowPlace::host) {
        const Window window =
            target.hostWindow ? static_cast<Window>(target.hostWindow) : RootWindow(display, screen);
        std::unique_ptr<ShowWindows> windows = ShowWindows::host(display, window);
        if (!windows) {
            std::cerr << "heliox: window 0x" << std::hex << window << std::dec << " does not exist\n";
            return nullptr;
        }
        visual.reset(glVisualOfWindow(display, window));
        if (!visual) {
            std::cerr << "heliox: OpenGL cannot draw into window 0x" << std::hex << window << std::dec
                      << " (its visual has no GLX support)\n";
            return nullptr;
        }
        return windows;
    }
    visual.reset(chooseGlVisual(display, screen, settings.multisample));
    if (!visual) {
        std::cerr << "heliox: the X server offers no OpenGL visual (is GLX there?)\n";
        return nullptr;
    }
    // A window opens at the settings' size when they ask for one (UseDesktop=0); full screen always covers
    // the whole first monitor, and a picture of that size is scaled to fill it (ScaledFrame).
    if (target.place == ShowPlace::window) {
        if (settings.useDesktop)
            return ShowWindows::ordinary(display, visual.get(), 800, 600);
        const PictureSize size =
            ownPictureSize(DisplayWidth(display, screen), DisplayHeight(display, screen), "the screen shows");
        return ShowWindows::ordinary(display, visual.get(), size.width, size.height);
    }
    return ShowWindows::fullScreen(display, visual.get(), listMonitors(display, screen));
}

// The run's reaction to one event: false when it ends the run.
// A picture of its own size (`scaled`) keeps that size whatever the window's.
bool handleEvent(const XEvent& event, ShowPlace place, ShowWindows& windows, SaverRun& run, bool scaled) {
    const Window show = windows.show();
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.window == show &&
            windows.takeSize(event.xconfigure.width, event.xconfigure.height) && !scaled)
            run.resize(windows.width(), windows.height());
        return true;
    case DestroyNotify:
        return event.xdestroywindow.window != show;
    case ClientMessage:
        return !windows.isCloseRequest(event.xclient);
    case KeyPress:
    case ButtonPress:
    case MotionNotify:
        if (place == ShowPlace::fullScreen) {
            feedExitRules(event, show, windows.width(), windows.height(), run.exitRules());
        } else if (place == ShowPlace::window && event.type == KeyPress) {
            // A window on the desktop is clicked and pointed at as any other; a key closes it.
            XKeyEvent key = event.xkey;
            if (keyEndsRun(XLookupKeysym(&key, 0), key.state))
                run.exitRules().keyOrButtonPressed();
        }
        return true;
    default:
        return true;
    }
}

} // namespace

int runSaver(Display* display, const RunOptions& options) {
    displayOfRun = display;
    catchFatalSignals(lastWordsOfRun);
    struct FatalSignalsReleased {
        ~FatalSignalsReleased() {
            releaseFatalSignals();
            displayOfRun = nullptr;
        }
    } fatalSignalsReleased;
    std::string error;
    const std::optional<ShowTarget> target =
        chooseShowTarget(options, std::getenv("XSCREENSAVER_WINDOW"), error);
    if (!target) {
        std::cerr << "heliox: " << error << "\n";
        return 1;
    }
    const std::string archive = showArchivePath(options);
    if (!showArchiveReadable(archive, std::cerr))
        return 1;

    catchStopSignals();
    GammaOnScreen gamma;
    handleXErrors([&gamma] { gamma.restoreThroughNewConnection(); });
    struct HandlersReset {
        ~HandlersReset() { handleXErrors(nullptr); }
    } handlersReset;

    settings = runSettings(settings, options, target->place == ShowPlace::host);
    if (target->place != ShowPlace::fullScreen)
        settings.mouseExit = false; // the pointer is not the run's to put back in the middle

    VisualInfo visual;
    std::unique_ptr<ShowWindows> windows = openWindows(display, *target, visual);
    // A server that went away on the way is the reason, whatever the step that failed first.
    if (!windows && xServerGone(display))
        endAsConnectionLost();
    if (!windows)
        return 1;
    std::unique_ptr<GlxContext> context = GlxContext::create(display, windows->show(), visual.get(), error);
    if (!context && xServerGone(display))
        endAsConnectionLost();
    if (!context) {
        std::cerr << "heliox: " << error << "\n";
        return 1;
    }
    context->setSwapInterval(settings.vSync);
    // The host's visual (XScreenSaver) may be multisampled whatever the setting says: Multisample=0 still
    // means plain edges there.
    if (!settings.multisample)
        glDisable(GL_MULTISAMPLE);
    std::unique_ptr<ScaledFrame> scaled;
    PictureSize picture{windows->width(), windows->height()};
    if (target->place == ShowPlace::fullScreen && !settings.useDesktop) {
        const PictureSize drawable = largestOwnPicture();
        const bool monitorBinds = picture.width <= drawable.width && picture.height <= drawable.height;
        const PictureSize own =
            monitorBinds
                ? ownPictureSize(picture.width, picture.height, "the monitor shows")
                : ownPictureSize(std::min(picture.width, drawable.width),
                                 std::min(picture.height, drawable.height), "this OpenGL draws off screen");
        scaled = ScaledFrame::create(own.width, own.height, error);
        if (scaled)
            picture = own;
        else
            std::cerr << "heliox: UseDesktop=0: " << error << "; drawing at the screen's own size\n";
    }
    const int width = picture.width, height = picture.height;
    // Shows what was drawn: the picture scaled into the window first when it has a size of its own.
    const auto showFrame = [&] {
        if (scaled)
            scaled->present(windows->width(), windows->height());
        context->swapBuffers();
    };

    // The gamma belongs to XScreenSaver under its window (it fades with it), and to the desktop in a window.
    if (target->place == ShowPlace::fullScreen && !settings.defGamma) {
        gamma.displayName = DisplayString(display);
        gamma.screen = DefaultScreen(display);
        gamma.crtcs = std::make_unique<XrandrGamma>(display, RootWindow(display, gamma.screen));
        gamma.guard = std::make_unique<GammaGuard>(*gamma.crtcs);
        gamma.rescue = GammaRescue::prepare(gamma.displayName, gamma.screen, gamma.guard->saved());
        gammaRescue = gamma.rescue.get();
        gamma.guard->apply(gammaExponent(settings));
    }

    UserMessageHandler previous = setUserMessageHandler([](const char* caption, const std::string& text) {
        std::cerr << "heliox: " << caption << ": " << printableText(text) << "\n";
    });

    SaverHooks hooks;
    // While the show loads no frame loop reads the events: the loaders ask here, and a key, a click, a
    // closed window or a stop signal ends the load as it ends a frame.
    SaverRun* loadingRun = nullptr;
    hooks.loadingProgress = [&] {
        redrawLoadingScreen(loadingRun->loadingScreen());
        showFrame();
    };
    hooks.stopLoading = [&] {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (!handleEvent(event, target->place, *windows, *loadingRun, scaled != nullptr))
                return true;
        }
        return stopSignal() != 0 || loadingRun->exitRules().shouldExit(false);
    };
    if (target->place == ShowPlace::fullScreen)
        hooks.recenterPointer = [&] { windows->centrePointer(); };
    std::unique_ptr<MusicPlayer> music;
    if (settings.enableMusic)
        hooks.startMusic = [&](ShowData& show) { music = startShowMusic(show, settings.volume); };

    SaverRun run(settings, width, height, hooks, archive);
    loadingRun = &run;
    const bool loaded = run.load(options.seed);
    if (!loaded && !run.stoppedWhileLoading())
        reportNoWorld(archive, std::cerr);
    if (target->place == ShowPlace::fullScreen)
        windows->centrePointer();

    unsigned framesDrawn = 0;
    FrameCap cap(settings.maxFps);
    for (bool running = loaded; running;) {
        while (running && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            running = handleEvent(event, target->place, *windows, run, scaled != nullptr);
        }
        if (!running || stopSignal())
            break;
        running = run.frame(options.frameStep);
        showFrame();
        cap.waitForNextFrame();
        // --frames: a measured run (start-up to the first frame, memory with the whole show) ends by itself.
        if (options.frames && ++framesDrawn >= *options.frames)
            running = false;
    }

    setUserMessageHandler(previous);
    music.reset();
    scaled.reset();
    context.reset();
    windows.reset();
    if (gamma.guard)
        gamma.guard->restore();
    return loaded || run.stoppedWhileLoading() ? 0 : 1;
}
