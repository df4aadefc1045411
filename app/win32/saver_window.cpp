#include "app/win32/saver_window.h"

#include "app/win32/gl_context.h"
#include "base/settings.h"
#include "overlay/loading_screen.h"

#include <windowsx.h>

SaverWindowState saverWindow;

namespace {

constexpr int programIcon = 111;

bool registerClass(HINSTANCE instance, const char* name, UINT style, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(programIcon));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

POINT clientCentreOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &centre);
    return centre;
}

void pressed() {
    if (saverWindow.exitRules)
        saverWindow.exitRules->keyOrButtonPressed();
}

} // namespace

bool registerSaverWindowClasses(HINSTANCE instance) {
    return registerClass(instance, mainWindowClass, CS_OWNDC | CS_HREDRAW | CS_VREDRAW, saverWindowProc) &&
           registerClass(instance, coverWindowClass, CS_HREDRAW | CS_VREDRAW, DefWindowProcA);
}

void unregisterSaverWindowClasses(HINSTANCE instance) {
    UnregisterClassA(mainWindowClass, instance);
    UnregisterClassA(coverWindowClass, instance);
}

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        saverWindow.deviceContext = GetDC(window);
        saverWindow.glContext = createGlContext(saverWindow.deviceContext, settings.multisample);
        return 0;
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_ENDSESSION:
        // The process may be ended without returning to the loop: the display comes back now.
        if (wParam && saverWindow.display)
            saverWindow.display->restoreAll();
        return 0;
    case WM_SYSCOMMAND:
        return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        pressed();
        return 0;
    case WM_MOUSEMOVE: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &point);
        const POINT centre = clientCentreOnScreen(window);
        if (saverWindow.exitRules)
            saverWindow.exitRules->pointerMoved(point.x - centre.x, point.y - centre.y);
        return 0;
    }
    case WM_LOAD_PROGRESS:
        if (saverWindow.loadingScreen)
            redrawLoadingScreen(*saverWindow.loadingScreen);
        SwapBuffers(wglGetCurrentDC());
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void centreCursor(HWND window) {
    const POINT centre = clientCentreOnScreen(window);
    SetCursorPos(centre.x, centre.y);
}
