#include "app/win32/show.h"

#include "app/gl_setup.h"
#include "app/saver_run.h"
#include "app/show_archive.h"
#include "app/win32/display_state.h"
#include "app/win32/frame_capture.h"
#include "app/win32/gl_context.h"
#include "app/win32/saver_music.h"
#include "app/win32/saver_window.h"
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

// The show is read from "data.sdd" in the current directory, which start-up made the installation folder.
// Without it the show would be a black screen that says nothing; the user is told which file is missing.
bool useArchiveInInstallationFolder(std::string& archive) {
    // The full name makes the message say where the file was looked for; a folder name too long for the
    // buffer leaves the relative name, which opens the same file.
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    archive = "data.sdd";
    if (length > 0 && length < sizeof folder)
        archive.insert(0, std::string(folder) + (folder[length - 1] == '\\' ? "" : "\\"));
    std::ostringstream why;
    if (useShowArchive(archive, why))
        return true;
    showUserMessage("ERROR", trimmedLine(why.str()));
    return false;
}

// The main window on the first active monitor at (0, 0) with the settings' size, a black cover on every
// other one. False when a window could not be made or no monitor is active.
bool createWindows(Win32Application& application, HWND& mainWindow) {
    mainWindow = nullptr;
    for (unsigned i = 0; i < application.monitors.count; ++i) {
        MonitorRecord& record = application.monitors.records[i];
        if (!record.monitor)
            continue;
        if (!mainWindow) {
            record.window = CreateWindowExA(
                windowExStyle, mainWindowClass, windowTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                0, static_cast<int>(settings.width), static_cast<int>(settings.height), nullptr, nullptr,
                application.instance, nullptr);
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

void destroyWindows(Win32Application& application) {
    for (unsigned i = 0; i < application.monitors.count; ++i) {
        MonitorRecord& record = application.monitors.records[i];
        if (record.window)
            DestroyWindow(record.window);
        record.window = nullptr;
    }
}

void showWindows(const Win32Application& application, HWND mainWindow) {
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
void frameLoop(SaverRun& run, HDC deviceContext) {
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
            if (!saveBackBufferAsBitmap(capturePath, static_cast<int>(settings.width),
                                        static_cast<int>(settings.height)))
                showUserMessage("ERROR", "Cannot write " + capturePath);
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
        hooks.startMusic = [&music] { music.start(settings.volume); };
    SaverRun run(settings, static_cast<int>(settings.width), static_cast<int>(settings.height), hooks);
    saverWindow.exitRules = &run.exitRules();

    setSwapInterval(settings.vSync);
    if (!settings.defGamma) {
        const float g = gammaExponent(settings);
        display.applyGammaRamp(saverWindow.deviceContext, g, g, g);
    }
    std::ostringstream problem;
    if (run.load()) {
        centreCursor(mainWindow);
        frameLoop(run, wglGetCurrentDC());
    } else if (!run.stoppedWhileLoading()) {
        reportNoWorld(archive, problem);
    }
    music.stop();
    display.restoreGamma();
    saverWindow.exitRules = nullptr;
    return trimmedLine(problem.str());
}

} // namespace

void runSaver(Win32Application& application) {
    std::string archive;
    if (!useArchiveInInstallationFolder(archive))
        return;
    saverWindow = SaverWindowState{};
    registerSaverWindowClasses(application.instance);

    DisplayState display;
    saverWindow.display = &display;
    restoreOnConsoleEvents(&display);
    display.setDisplayMode(settings.width, settings.height, settings.depth);
    ShowCursor(FALSE);

    HWND mainWindow = nullptr;
    std::string problem;
    if (createWindows(application, mainWindow)) {
        showWindows(application, mainWindow);
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
    unregisterSaverWindowClasses(application.instance);
    saverWindow = SaverWindowState{};
    if (!problem.empty())
        showUserMessage("ERROR", problem);
}
