#include "app/win32/preview_window.h"

namespace {

constexpr const char* previewWindowClass = "NemboPreview";
constexpr int previewPicture = 112;

// Loaded once, when the window is made, and kept for the life of the process.
HBITMAP picture = nullptr;

void paintPicture(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (picture) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, picture);
        BITMAP size{};
        GetObjectA(picture, sizeof size, &size);
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

} // namespace

LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (!picture)
            picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(previewPicture));
        return 0;
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paintPicture(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int runPreview(Win32Application& application) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = previewWindowProc;
    windowClass.hInstance = application.instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = previewWindowClass;
    RegisterClassA(&windowClass);

    // The host's Screen Saver page makes and destroys its preview windows as the user browses, and may start
    // the preview with a window that is already gone, with none ("/p"), or with 0: there is nothing to draw
    // into then, and nobody to tell, so the preview ends at once and says nothing. The same when the window
    // goes between this check and the child's creation.
    const HWND parent = parentWindowOf(application);
    if (!parent || !IsWindow(parent))
        return 0;
    RECT area{};
    GetClientRect(parent, &area);
    AdjustWindowRect(&area, WS_CHILD | WS_VISIBLE, FALSE);
    const HWND window = CreateWindowExA(0, previewWindowClass, "NEMBOW", WS_CHILD | WS_VISIBLE, area.left,
                                        area.top, area.right - area.left, area.bottom - area.top, parent,
                                        nullptr, application.instance, nullptr);
    if (!window)
        return 0;
    ShowWindow(window, application.showCommand);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}
