#include "app/win32/show.h"

#include "app/gl_setup.h"
#include "app/saver_run.h"
#include "app/show_archive.h"
#include "app/win32/display_state.h"
#include "app/win32/error_box.h"
#include "app/win32/frame_capture.h"
#include "app/win32/gl_context.h"
#include "app/win32/installation_folder.h"
#include "app/win32/saver_music.h"
#include "app/win32/saver_window.h"
#include "app/win32/show_area.h"
#include "app/win32/test_hooks.h"
#include "base/user_message.h"

#include <GL/gl.h>

#include <sstream>

namespace {

std::string trimmedLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

constexpr DWORD windowExStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
constexpr const char* windowTitle = "Heliox";
// The frame the smoke test saves: late enough that loading is over and the scene is on screen.
constexpr unsigned capturedFrame = 10;

// The show is read from "data.sdd" in the installation folder. Without it the show would be a black screen
// that says nothing; the user is told which file is missing and what brings it back.
bool useArchiveInInstallationFolder(const Win32Application& application, std::string& archive) {
    archive = showArchiveIn(application.installationFolder);
    std::ostringstream why;
    if (showArchiveReadable(archive, why))
        return true;
    showUserMessage(programCaption, trimmedLine(why.str()) +
                                        "\n\nReinstall Heliox to put its show back, or copy data.sdd into "
                                        "the folder named above.");
    return false;
}

// One show at a time: the host may start a second while the first still runs (a second session's timer, a
// preview button pressed twice); it would fight the first for the display mode and the gamma ramp. The name
// is per session, as the display is.
class OneShowAtATime {
public:
    OneShowAtATime() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\HelioxShow")) {
        first_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    ~OneShowAtATime() {
        if (mutex_)
            CloseHandle(mutex_);
    }
    OneShowAtATime(const OneShowAtATime&) = delete;
    OneShowAtATime& operator=(const OneShowAtATime&) = delete;

    // False when another show holds the name. A mutex the system could not make does not stop the show.
    bool first() const { return first_ || !mutex_; }

private:
    HANDLE mutex_;
    bool first_ = false;
};

// The main window on the first active monitor where `area` puts the picture (with black bars behind it when
// it does not fill the monitor), a black cover on every other one. False when a window could not be made or
// no monitor is active.
bool createWindows(Win32Application& application, bool modeTaken, HWND& mainWindow, HWND& bars) {
    mainWindow = bars = nullptr;
    for (unsigned i = 0; i < application.monitors.count; ++i) {
        MonitorRecord& record = application.monitors.records[i];
        if (!record.monitor)
            continue;
        if (!mainWindow) {
            const ShowArea area = showArea(modeTaken, settings.width, settings.height, record.desktopRect);
            // The bars first: a later top-most window lies above it.
            if (!isEmpty(area.bars)) {
                bars = CreateWindowExA(windowExStyle, coverWindowClass, windowTitle, WS_POPUP, area.bars.left,
                                       area.bars.top, area.bars.right - area.bars.left,
                                       area.bars.bottom - area.bars.top, nullptr, nullptr,
                                       application.instance, nullptr);
                if (!bars)
                    return false;
            }
            record.window = CreateWindowExA(
                windowExStyle, mainWindowClass, windowTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                area.picture.left, area.picture.top, area.picture.right - area.picture.left,
                area.picture.bottom - area.picture.top, nullptr, nullptr, application.instance, nullptr);
            mainWindow = record.window;
        } else {
            const RECT& area = record.desktopRect;
            record.window =
                CreateWindowExA(windowExStyle, coverWindowClass, windowTitle, WS_POPUP | WS_VISIBLE,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr,
                                nullptr, application.instance, nullptr);
        }
        if (!record.window)
            return false;
    }
    return mainWindow != nullptr;
}

// The size of the main window's picture, which the show draws at.
SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

void destroyWindows(Win32Application& application) {
    for (unsigned i = 0; i < application.monitors.count; ++i) {
        MonitorRecord& record = application.monitors.records[i];
        if (record.window)
            DestroyWindow(record.window);
        record.window = nullptr;
    }
}

void showWindows(const Win32Application& application, HWND mainWindow, HWND bars) {
    if (bars)
        ShowWindow(bars, application.showCommand);
    for (unsigned i = 0; i < application.monitors.count; ++i)
        if (const HWND window = application.monitors.records[i].window)
            ShowWindow(window, application.showCommand);
    SetFocus(mainWindow);
}

// The swap interval comes from the WGL_EXT_swap_control extension when the driver has it.
void setSwapInterval(bool vSync) {
    using SwapInterval = BOOL(WINAPI*)(int);
    using GetSwapInterval = int(WINAPI*)();
    const auto set =
        reinterpret_cast<SwapInterval>(reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT")));
    const auto get = reinterpret_cast<GetSwapInterval>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    if (set && get)
        set(vSync ? 1 : 0);
}

// Messages first: a frame is drawn only when none is waiting. Returns when the run should end.
void frameLoop(SaverRun& run, HDC deviceContext, SIZE picture) {
    const std::string capturePath = testFramePath();
    unsigned frames = 0;
    bool running = true;
    while (running) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                running = false;
            else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }
        running = run.frame();
        if (!capturePath.empty() && ++frames == capturedFrame) {
            glFinish();
            if (!saveBackBufferAsBitmap(capturePath, picture.cx, picture.cy))
                showUserMessage(programCaption, "Cannot write " + capturePath);
            running = false;
        }
        SwapBuffers(deviceContext);
    }
}

// Loads the show with the loading screen on the main window, plays it, and stops the music. Returns what
// went wrong, for the user once the display is back; empty when the show ran.
std::string showOnMainWindow(HWND mainWindow, DisplayState& display, const std::string& archive) {
    SaverMusic music;
    SaverHooks hooks;
    hooks.loadingProgress = [mainWindow] { SendMessageA(mainWindow, WM_LOAD_PROGRESS, 0, 0); };
    // No frame loop reads the messages while the show loads: the loaders ask here, and a key, a click or a
    // request to quit ends the load as it would end a frame.
    hooks.stopLoading = [] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        return saverWindow.exitRules && saverWindow.exitRules->shouldExit(false);
    };
    hooks.recenterPointer = [mainWindow] { centreCursor(mainWindow); };
    if (settings.enableMusic)
        hooks.startMusic = [&music](ShowData& show) { music.start(show, settings.volume); };
    const SIZE picture = clientSize(mainWindow);
    SaverRun run(settings, picture.cx, picture.cy, hooks, archive);
    saverWindow.exitRules = &run.exitRules();
    saverWindow.loadingScreen = &run.loadingScreen();

    setSwapInterval(settings.vSync);
    if (!settings.defGamma) {
        const float g = gammaExponent(settings);
        display.applyGammaRamp(saverWindow.deviceContext, g, g, g);
    }
    std::ostringstream problem;
    if (run.load()) {
        centreCursor(mainWindow);
        frameLoop(run, wglGetCurrentDC(), picture);
    } else if (!run.stoppedWhileLoading()) {
        reportNoWorld(archive, problem);
    }
    music.stop();
    display.restoreGamma();
    saverWindow.exitRules = nullptr;
    saverWindow.loadingScreen = nullptr;
    return trimmedLine(problem.str());
}

} // namespace

void runSaver(Win32Application& application) {
    const OneShowAtATime oneShow;
    if (!oneShow.first())
        return;
    std::string archive;
    if (!useArchiveInInstallationFolder(application, archive))
        return;
    saverWindow = SaverWindowState{};
    registerSaverWindowClasses(application.instance);

    DisplayState display;
    saverWindow.display = &display;
    restoreOnConsoleEvents(&display);
    const bool modeTaken = display.setDisplayMode(settings.width, settings.height, settings.depth);
    ShowCursor(FALSE);

    HWND mainWindow = nullptr, bars = nullptr;
    std::string problem;
    if (createWindows(application, modeTaken, mainWindow, bars)) {
        showWindows(application, mainWindow, bars);
        problem = showOnMainWindow(mainWindow, display, archive);
    }

    display.restoreAll();
    restoreOnConsoleEvents(nullptr);
    if (saverWindow.glContext)
        deleteGlContext(saverWindow.glContext);
    if (mainWindow && saverWindow.deviceContext)
        ReleaseDC(mainWindow, saverWindow.deviceContext);
    ShowCursor(TRUE);
    destroyWindows(application);
    if (bars)
        DestroyWindow(bars);
    unregisterSaverWindowClasses(application.instance);
    saverWindow = SaverWindowState{};
    if (!problem.empty())
        showUserMessage(programCaption,
                        problem + "\n\nReinstall Heliox to put back a whole copy of its show.");
}
