// The X shell's decisions that need no X server: which touches end a run, where the show goes, the run's
// settings, and the gamma guard, the last one also across a stop signal in a separate process.
// GoogleTest first: Xlib defines None and Bool as macros, which its names would collide with.
#include <gtest/gtest.h>

#include "app/gl_setup.h"
#include "app/linux/gamma_guard.h"
#include "app/linux/input_events.h"
#include "app/linux/preview_picture.h"
#include "app/linux/show_target.h"
#include "app/linux/stop_signals.h"
#include "app/run_overrides.h"

#include <X11/keysym.h>

#include <csignal>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(ExitTouches, KeysButSystemKeysAndLeftOrRightButtons) {
    EXPECT_TRUE(keyEndsRun(XK_a, 0));
    EXPECT_TRUE(keyEndsRun(XK_Shift_L, 0));
    EXPECT_TRUE(keyEndsRun(XK_Escape, ShiftMask));
    EXPECT_TRUE(keyEndsRun(XK_Delete, ControlMask | Mod1Mask)); // AltGr and Ctrl+Alt are no system keys
    EXPECT_FALSE(keyEndsRun(XK_Alt_L, 0));
    EXPECT_FALSE(keyEndsRun(XK_Alt_R, Mod1Mask));
    EXPECT_FALSE(keyEndsRun(XK_F4, Mod1Mask));
    EXPECT_FALSE(keyEndsRun(XK_F10, 0));

    EXPECT_TRUE(buttonEndsRun(Button1));
    EXPECT_TRUE(buttonEndsRun(Button3));
    for (unsigned button : {Button2, Button4, Button5, 8})
        EXPECT_FALSE(buttonEndsRun(button)) << button;
}

TEST(ExitTouches, PointerOffsetsAreTakenFromTheShowWindowsCentreOnly) {
    constexpr Window show = 7, cover = 8;
    XEvent move{};
    move.type = MotionNotify;
    move.xmotion.window = show;
    move.xmotion.x = 401 + 24; // 801 / 2 = 400: the integer centre
    move.xmotion.y = 300;
    ExitRules rules;
    feedExitRules(move, show, 801, 600, rules);
    EXPECT_TRUE(rules.takePointerMove());
    EXPECT_NEAR(rules.travel(), 25 * 0.3f, 1e-5);

    ExitRules untouched;
    move.xmotion.window = cover;
    feedExitRules(move, show, 801, 600, untouched);
    XEvent press{};
    press.type = ButtonPress;
    press.xbutton.window = cover;
    press.xbutton.button = Button1;
    feedExitRules(press, show, 801, 600, untouched);
    EXPECT_FALSE(untouched.takePointerMove());
    EXPECT_FALSE(untouched.shouldExit(true));

    press.xbutton.window = show;
    feedExitRules(press, show, 801, 600, untouched);
    EXPECT_TRUE(untouched.shouldExit(false));
}

TEST(ShowTarget, TheHostsWindowComesFirstAndABadOneIsSaid) {
    std::string error;
    RunOptions options;
    EXPECT_EQ(chooseShowTarget(options, nullptr, error)->place, ShowPlace::fullScreen);
    EXPECT_EQ(chooseShowTarget(options, "", error)->place, ShowPlace::fullScreen);

    options.root = true;
    EXPECT_EQ(chooseShowTarget(options, nullptr, error)->hostWindow, 0u); // the root itself
    std::optional<ShowTarget> hosted = chooseShowTarget(options, "0x1a00007", error);
    EXPECT_EQ(hosted->place, ShowPlace::host);
    EXPECT_EQ(hosted->hostWindow, 0x1a00007u);

    options.windowId = 4711;
    EXPECT_EQ(chooseShowTarget(options, "0x1a00007", error)->hostWindow, 4711u);

    RunOptions window;
    window.window = true;
    EXPECT_EQ(chooseShowTarget(window, "0x1a00007", error)->place, ShowPlace::window);

    EXPECT_FALSE(chooseShowTarget(RunOptions{}, "0xzz", error));
    EXPECT_NE(error.find("\"0xzz\""), std::string::npos) << error;
}

TEST(RunSettings, TheCommandLineOverridesForOneRunAndAHostIsSilentUnlessAsked) {
    Settings stored;
    stored.speed = 10;
    stored.enableMusic = true;
    RunOptions options;
    options.speed = 90;
    options.showFps = true;
    options.volume = 30;
    Settings run = runSettings(stored, options, false);
    EXPECT_EQ(run.speed, 90u);
    EXPECT_TRUE(run.showFps);
    EXPECT_EQ(run.volume, 30u);
    EXPECT_TRUE(run.enableMusic);
    EXPECT_EQ(stored.speed, 10u);

    EXPECT_FALSE(runSettings(stored, RunOptions{}, true).enableMusic);
    options.music = true;
    EXPECT_TRUE(runSettings(stored, options, true).enableMusic);
    options.music = false;
    EXPECT_FALSE(runSettings(stored, options, false).enableMusic);
    options.multisample = false;
    EXPECT_FALSE(runSettings(stored, options, false).multisample);
}

// The preview fills any window a settings page gives it: the picture as large as fits, centred, its shape
// kept, black around it; at the picture's own size, exactly the picture.
TEST(PreviewPicture, FillsTheWindowWithItsShapeKept) {
    EXPECT_EQ(previewPictureIn(previewPictureWidth, previewPictureHeight),
              previewPicture(previewPictureWidth, previewPictureHeight));
    for (auto [width, height] : {std::pair{152, 112}, {200, 150}, {640, 100}, {90, 400}, {1000, 742}}) {
        const std::vector<std::uint8_t> shown = previewPictureIn(width, height);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(width) * height * 3);
        // The box of lit pixels: the Sun's glow reaches every edge of the picture.
        int left = width, right = -1, top = height, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = &shown[(static_cast<std::size_t>(y) * width + x) * 3];
                if (p[0] || p[1] || p[2]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        const int boxWidth = right - left + 1, boxHeight = bottom - top + 1;
        EXPECT_TRUE(boxWidth == width || boxHeight == height) << width << "x" << height;
        EXPECT_LE(std::abs(left - (width - 1 - right)), 1) << width << "x" << height;
        EXPECT_LE(std::abs(top - (height - 1 - bottom)), 1) << width << "x" << height;
        EXPECT_NEAR(static_cast<double>(boxWidth) / boxHeight,
                    static_cast<double>(previewPictureWidth) / previewPictureHeight,
                    2.0 / std::min(boxWidth, boxHeight))
            << width << "x" << height;
        // The Sun's centre, 26 by 50 in the picture, is where the scale puts it.
        const double scale = static_cast<double>(boxWidth) / previewPictureWidth;
        const int sunX = left + static_cast<int>(26 * scale), sunY = top + static_cast<int>(50 * scale);
        EXPECT_GT(shown[(static_cast<std::size_t>(sunY) * width + sunX) * 3], 240) << width << "x" << height;
    }
}

// CRTCs kept in plain memory, which may be shared with a parent process.
class FakeCrtcs : public CrtcGamma {
public:
    static constexpr int maxEntries = 1024;
    struct Crtc {
        int size = 0;
        std::uint16_t red[maxEntries], green[maxEntries], blue[maxEntries];
    };

    FakeCrtcs(Crtc* crtcs, int count) : crtcs_(crtcs), count_(count) {}
    int writes = 0;

    int crtcCount() override { return count_; }
    GammaRamp read(int i) override {
        const Crtc& c = crtcs_[i];
        return {{c.red, c.red + c.size}, {c.green, c.green + c.size}, {c.blue, c.blue + c.size}};
    }
    bool write(int i, const GammaRamp& ramp) override {
        Crtc& c = crtcs_[i];
        if (static_cast<int>(ramp.size()) != c.size)
            return false;
        std::copy(ramp.red.begin(), ramp.red.end(), c.red);
        std::copy(ramp.green.begin(), ramp.green.end(), c.green);
        std::copy(ramp.blue.begin(), ramp.blue.end(), c.blue);
        ++writes;
        return true;
    }

private:
    Crtc* crtcs_;
    int count_;
};

// Two CRTCs with uneven ramps of 256 and 1024 entries, and one without gamma.
void fillUnevenRamps(FakeCrtcs::Crtc* crtcs) {
    const int sizes[] = {256, 1024, 0};
    for (int i = 0; i < 3; ++i) {
        crtcs[i].size = sizes[i];
        for (int k = 0; k < sizes[i]; ++k) {
            crtcs[i].red[k] = static_cast<std::uint16_t>(k * 37 + i);
            crtcs[i].green[k] = static_cast<std::uint16_t>(k * 29);
            crtcs[i].blue[k] = static_cast<std::uint16_t>(k * 61 + 5);
        }
    }
}

TEST(GammaGuard, TheRampOfTheSettingsAtEveryCrtcsOwnSize) {
    const std::array<std::uint16_t, 768> expected = gammaRamp(0.6f, 0.6f, 0.6f);
    GammaRamp ramp = exponentRamp(0.6f, 256);
    EXPECT_TRUE(std::equal(ramp.red.begin(), ramp.red.end(), expected.begin()));
    EXPECT_EQ(ramp.green, ramp.red);
    EXPECT_EQ(ramp.blue, ramp.red);

    GammaRamp wide = exponentRamp(1.0f, 1024);
    EXPECT_EQ(wide.red[0], 0);
    EXPECT_EQ(wide.red[512], 32768);
    EXPECT_EQ(wide.red[1023], 65472);
    EXPECT_EQ(exponentRamp(0.5f, 1024).red[1023], 65503); // brighter, and never past the 16-bit range
}

TEST(GammaGuard, PutsBackExactlyWhatWasThereOnceAndOnlyIfItChangedIt) {
    std::vector<FakeCrtcs::Crtc> memory(3);
    fillUnevenRamps(memory.data());
    FakeCrtcs crtcs(memory.data(), 3);
    const GammaRamp before0 = crtcs.read(0), before1 = crtcs.read(1);
    { GammaGuard untouched(crtcs); }
    EXPECT_EQ(crtcs.writes, 0); // DefGamma: the ramp is never touched, not even to restore it

    {
        GammaGuard guard(crtcs);
        guard.apply(1.5f);
        EXPECT_EQ(crtcs.read(1), exponentRamp(1.5f, 1024));
        EXPECT_EQ(crtcs.writes, 2); // the CRTC without gamma is left alone
        guard.restore();
        EXPECT_EQ(crtcs.read(0), before0);
        EXPECT_EQ(crtcs.read(1), before1);
    }
    EXPECT_EQ(crtcs.writes, 4); // the end of the guard does not restore a second time
}

TEST(GammaGuard, RestoresThroughANewConnectionWhenTheOldOneIsGone) {
    std::vector<FakeCrtcs::Crtc> memory(3);
    fillUnevenRamps(memory.data());
    FakeCrtcs first(memory.data(), 3);
    const GammaRamp before = first.read(1);
    GammaGuard guard(first);
    guard.apply(0.5f);
    FakeCrtcs second(memory.data(), 3);
    guard.restoreThrough(second);
    EXPECT_EQ(second.read(1), before);
    EXPECT_EQ(second.writes, 2);
    EXPECT_EQ(first.writes, 2);
}

// A run in a child process: it darkens the fake display, then loops as the saver's frame loop does until a
// stop signal comes, and ends normally.
class GammaAcrossSignals : public ::testing::TestWithParam<int> {};

TEST_P(GammaAcrossSignals, AStopSignalEndsTheRunWithTheRampBack) {
    void* shared = mmap(nullptr, sizeof(FakeCrtcs::Crtc) * 3 + sizeof(int), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* crtcs = static_cast<FakeCrtcs::Crtc*>(shared);
    auto* applied = reinterpret_cast<volatile int*>(crtcs + 3);
    fillUnevenRamps(crtcs);
    FakeCrtcs view(crtcs, 3);
    const GammaRamp before = view.read(0), beforeWide = view.read(1);

    const pid_t child = fork();
    if (child == 0) {
        catchStopSignals();
        FakeCrtcs fake(crtcs, 3);
        {
            GammaGuard guard(fake);
            guard.apply(1.5f);
            *applied = 1;
            for (int waited = 0; !stopSignal() && waited < 10000; ++waited)
                usleep(1000);
        }
        _exit(stopSignal() == GetParam() ? 0 : 3);
    }
    ASSERT_GT(child, 0);
    for (int i = 0; i < 5000 && !*applied; ++i)
        usleep(1000);
    ASSERT_TRUE(*applied);
    EXPECT_EQ(view.read(0), exponentRamp(1.5f, 256));
    kill(child, GetParam());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the signal killed the run instead of stopping it";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(view.read(0), before);
    EXPECT_EQ(view.read(1), beforeWide);
    munmap(shared, sizeof(FakeCrtcs::Crtc) * 3 + sizeof(int));
}

INSTANTIATE_TEST_SUITE_P(StopSignals, GammaAcrossSignals, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
