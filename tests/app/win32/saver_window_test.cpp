#include "app/win32/saver_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<bool> modeRestores; // one entry per ChangeDisplaySettingsA call: whether it was the restore

LONG WINAPI fakeChangeDisplaySettings(DEVMODEA* mode, DWORD) {
    modeRestores.push_back(mode == nullptr);
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL WINAPI fakeSetDeviceGammaRamp(HDC, LPVOID) {
    return TRUE;
}

// The main window's procedure in a real window of its class (which makes a GL context when one exists),
// with the run's exit rules and a display whose changes are only recorded.
class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        modeRestores.clear();
        saverWindow = SaverWindowState{};
        saverWindow.exitRules = &exitRules;
        saverWindow.display = &display;
        instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(registerSaverWindowClasses(instance));
        window = CreateWindowExA(0, mainWindowClass, "test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                 instance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        saverWindow.exitRules = nullptr;
        if (saverWindow.glContext) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(saverWindow.glContext);
        }
        ReleaseDC(window, saverWindow.deviceContext);
        DestroyWindow(window);
        unregisterSaverWindowClasses(instance);
        saverWindow = SaverWindowState{};
        MSG message; // DestroyWindow posted WM_QUIT; it must not reach the next test
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ;
    }

    bool quitPosted() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT)
                return true;
        return false;
    }

    ExitRules exitRules;
    DisplayState display{DisplayApi{fakeChangeDisplaySettings, fakeSetDeviceGammaRamp}};
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
};

TEST_F(SaverWindowTest, CreationTakesTheWindowsOwnDeviceContext) {
    EXPECT_NE(saverWindow.deviceContext, nullptr);
}

TEST_F(SaverWindowTest, KeysAndLeftOrRightClicksEndTheRunButNotSystemKeysOrTheMiddleButton) {
    SendMessageA(window, WM_SYSKEYDOWN, VK_MENU, 0);
    SendMessageA(window, WM_MBUTTONDOWN, 0, 0);
    SendMessageA(window, WM_KEYUP, VK_SHIFT, 0);
    EXPECT_FALSE(exitRules.shouldExit(false));
    SendMessageA(window, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_TRUE(exitRules.shouldExit(false));

    exitRules = ExitRules{};
    SendMessageA(window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(exitRules.shouldExit(false));
    exitRules = ExitRules{};
    SendMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(exitRules.shouldExit(false));
}

// The client area is 200 × 100, so its centre is (100, 50): 24 pixels right is 7.2, past the 7.0 limit.
TEST_F(SaverWindowTest, MouseMovesAreMeasuredFromTheCentreOfTheWindow) {
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(123, 50));
    exitRules.takePointerMove();
    EXPECT_FALSE(exitRules.shouldExit(true));
    exitRules = ExitRules{};
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(124, 50));
    exitRules.takePointerMove();
    EXPECT_TRUE(exitRules.shouldExit(true));
    EXPECT_FALSE(exitRules.shouldExit(false));
    exitRules = ExitRules{};
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(50, 0)); // left and up lower the travel
    exitRules.takePointerMove();
    EXPECT_LT(exitRules.travel(), 0.0f);
}

TEST_F(SaverWindowTest, CloseAndDestroyPostQuitAndSystemCommandsAreSwallowed) {
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_FALSE(quitPosted());
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(quitPosted());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverWindowTest, TheDisplayComesBackWhenTheSessionEnds) {
    display.setDisplayMode(640, 480, 16);
    SendMessageA(window, WM_ENDSESSION, FALSE, 0); // the end of the session was cancelled
    EXPECT_EQ(modeRestores, std::vector<bool>{false});
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(modeRestores, (std::vector<bool>{false, true}));
}

} // namespace
