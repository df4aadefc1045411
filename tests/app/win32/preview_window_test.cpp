#include "app/win32/preview_window.h"

#include <gtest/gtest.h>

namespace {

// What the host's preview area saw while the preview ran.
struct Observed {
    HWND host = nullptr;
    HWND preview = nullptr;
    char className[64] = {};
    char title[64] = {};
    RECT area{};
    LONG style = 0;
};
Observed observed;

// Runs inside the preview's message loop: looks at the child it made, then closes the host's page.
void CALLBACK inspectThenCloseHost(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    observed.preview = GetWindow(observed.host, GW_CHILD);
    if (observed.preview) {
        GetClassNameA(observed.preview, observed.className, sizeof observed.className);
        GetWindowTextA(observed.preview, observed.title, sizeof observed.title);
        GetClientRect(observed.preview, &observed.area);
        observed.style = GetWindowLongA(observed.preview, GWL_STYLE);
    }
    DestroyWindow(observed.host);
}

// The host's preview area is 152 × 112: the preview fills it as a visible child and ends when the host
// destroys it.
TEST(PreviewWindow, FillsTheHostsAreaAndEndsWhenTheHostGoesAway) {
    Win32Application application;
    application.instance = GetModuleHandleA(nullptr);
    application.showCommand = SW_SHOW;
    RECT frame{0, 0, 152, 112};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    observed = Observed{};
    observed.host =
        CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, application.instance, nullptr);
    ASSERT_NE(observed.host, nullptr);
    application.app.parentWindow = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(observed.host));
    SetTimer(nullptr, 0, 100, inspectThenCloseHost);

    EXPECT_EQ(runPreview(application), 1);
    ASSERT_NE(observed.preview, nullptr);
    EXPECT_STREQ(observed.className, "NemboPreview");
    EXPECT_STREQ(observed.title, "NEMBOW");
    EXPECT_EQ(observed.area.right, 152);
    EXPECT_EQ(observed.area.bottom, 112);
    EXPECT_EQ(observed.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(IsWindow(observed.preview));
}

} // namespace
