#include "app/win32/display_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// What the fake display was asked to do, in order.
struct ModeCall {
    bool restore; // ChangeDisplaySettingsA(null, 0)
    DEVMODEA mode;
    DWORD flags;
};
struct RampCall {
    HDC dc;
    std::array<std::uint16_t, 768> ramp;
};
std::vector<ModeCall> modeCalls;
std::vector<RampCall> rampCalls;
BOOL rampAccepted = TRUE;

LONG WINAPI fakeChangeDisplaySettings(DEVMODEA* mode, DWORD flags) {
    modeCalls.push_back({mode == nullptr, mode ? *mode : DEVMODEA{}, flags});
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL WINAPI fakeSetDeviceGammaRamp(HDC dc, LPVOID ramp) {
    RampCall call{dc, {}};
    std::memcpy(call.ramp.data(), ramp, sizeof call.ramp);
    rampCalls.push_back(call);
    return rampAccepted;
}

const DisplayApi fakeApi{fakeChangeDisplaySettings, fakeSetDeviceGammaRamp};
const HDC someDc = reinterpret_cast<HDC>(0x1234);

class DisplayStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        modeCalls.clear();
        rampCalls.clear();
        rampAccepted = TRUE;
    }
};

TEST_F(DisplayStateTest, TheModeIsAskedForAsATemporaryFullScreenModeAndRestoredOnce) {
    DisplayState state(fakeApi);
    state.setDisplayMode(1024, 768, 16);
    ASSERT_EQ(modeCalls.size(), 1u);
    EXPECT_FALSE(modeCalls[0].restore);
    EXPECT_EQ(modeCalls[0].flags, static_cast<DWORD>(CDS_FULLSCREEN));
    EXPECT_EQ(modeCalls[0].mode.dmSize, sizeof(DEVMODEA));
    EXPECT_EQ(modeCalls[0].mode.dmFields, static_cast<DWORD>(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT));
    EXPECT_EQ(modeCalls[0].mode.dmPelsWidth, 1024u);
    EXPECT_EQ(modeCalls[0].mode.dmPelsHeight, 768u);
    EXPECT_EQ(modeCalls[0].mode.dmBitsPerPel, 16u);

    state.restoreAll();
    state.restoreMode();
    ASSERT_EQ(modeCalls.size(), 2u);
    EXPECT_TRUE(modeCalls[1].restore);
    EXPECT_EQ(modeCalls[1].flags, 0u);
}

TEST_F(DisplayStateTest, NothingIsRestoredThatWasNotChanged) {
    DisplayState state(fakeApi);
    state.restoreAll();
    EXPECT_TRUE(modeCalls.empty());
    EXPECT_TRUE(rampCalls.empty());
}

TEST_F(DisplayStateTest, TheGammaRampGoesBackToTheIdentityOnTheSameDisplayOnce) {
    DisplayState state(fakeApi);
    ASSERT_TRUE(state.applyGammaRamp(someDc, 0.5f, 0.5f, 0.5f));
    ASSERT_EQ(rampCalls.size(), 1u);
    EXPECT_GT(rampCalls[0].ramp[128], 128 * 256); // an exponent below 1 brightens

    state.restoreGamma();
    state.restoreAll();
    ASSERT_EQ(rampCalls.size(), 2u);
    EXPECT_EQ(rampCalls[1].dc, someDc);
    for (int k = 0; k < 256; ++k)
        for (int channel = 0; channel < 3; ++channel)
            ASSERT_EQ(rampCalls[1].ramp[channel * 256 + k], k * 256);
}

// Whatever exponent it is asked for, the display gets a ramp that never falls and stays within 16 bits, never
// one that wrapped to black.
TEST_F(DisplayStateTest, ExponentsOfZeroOrBelowGiveAFullBrightRampNotAWrappedOne) {
    DisplayState state(fakeApi);
    for (float exponent : {0.0f, -0.5f, -40.0f}) {
        ASSERT_TRUE(state.applyGammaRamp(someDc, exponent, exponent, exponent));
        const auto& ramp = rampCalls.back().ramp;
        for (int k = 0; k < 768; ++k)
            ASSERT_EQ(ramp[k], 65535) << "exponent " << exponent << ", entry " << k;
    }
}

TEST_F(DisplayStateTest, ARampTheDisplayRefusedIsNotRestored) {
    DisplayState state(fakeApi);
    rampAccepted = FALSE;
    EXPECT_FALSE(state.applyGammaRamp(someDc, 1.5f, 1.5f, 1.5f));
    state.restoreAll();
    EXPECT_EQ(rampCalls.size(), 1u);
}

TEST_F(DisplayStateTest, AConsoleEventRestoresTheRegisteredRunAndLetsTheProcessEnd) {
    DisplayState state(fakeApi);
    state.setDisplayMode(640, 480, 32);
    state.applyGammaRamp(someDc, 0.8f, 0.8f, 0.8f);
    restoreOnConsoleEvents(&state);
    EXPECT_EQ(restoreOnConsoleEvent(CTRL_CLOSE_EVENT), FALSE);
    restoreOnConsoleEvents(nullptr);
    ASSERT_EQ(modeCalls.size(), 2u);
    EXPECT_TRUE(modeCalls[1].restore);
    ASSERT_EQ(rampCalls.size(), 2u);
    EXPECT_EQ(rampCalls[1].ramp[255], 255 * 256);

    // Once the run has ended and stopped listening, a later event touches nothing.
    state.setDisplayMode(640, 480, 32);
    EXPECT_EQ(restoreOnConsoleEvent(CTRL_C_EVENT), FALSE);
    EXPECT_EQ(modeCalls.size(), 3u);
}

} // namespace
