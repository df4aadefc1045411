// heliox on a virtual X server, as a user, XScreenSaver and a settings page start it: the picture, the
// touches that end the show and those that do not, the gamma ramp put back on every way out, the host's
// window, the preview, and clear failures when there is nothing to show.
// GoogleTest first: Xlib defines None and Bool as macros, which its names would collide with.
#include <gtest/gtest.h>

#include "app/gl_setup.h"
#include "app/linux/gamma_guard.h"
#include "app/linux/gl_context.h"
#include "app/linux/preview_picture.h"
#include "app/linux/xrandr_gamma.h"
#include "tests/app/linux/x_session.h"
#include "tests/render/test_show.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr std::uint8_t skyRed = 200, skyGreen = 120, skyBlue = 40;

class XShell : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("heliox-x-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder / "config" / "heliox");
        ASSERT_TRUE(server.running()) << "Xvfb did not start";
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    void TearDown() override { fs::remove_all(folder); }

    // A show whose sky is one bright colour all round, so that a drawn frame is lit everywhere.
    fs::path skyShow(std::string_view textureList = "sky.jpg\nEND_TEXT\n") {
        TestShow show;
        show.addText("texture.txt", textureList);
        show.addSolidJpeg("textures\\sky.jpg", skyRed, skyGreen, skyBlue);
        show.addSolidJpeg("textures\\sign.jpg", 90, 90, 90);
        show.addSolidJpeg("textures\\load.jpg", 60, 60, 60);
        show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
        show.addText("sky.txt",
                     "sphere\nbegin\nenv\nradius 50\ntiling 1\ntexture textures\\sky.jpg\nend\nENDWORLD\n");
        show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
        show.addText("solar.txt", "geometry meshes\\ball.dat\nENDWORLD\n");
        show.addMesh("meshes\\ball.dat", uvSphereMesh(8, 12));
        show.addMesh("meshes\\sphere.dat", uvSphereMesh(8, 12));
        show.addMesh("meshes\\env.dat", uvSphereMesh(8, 12));
        return show.save(folder);
    }

    void writeSettings(const std::string& lines) {
        std::ofstream(folder / "config" / "heliox" / "heliox.conf") << lines;
    }

    std::unique_ptr<ChildProcess> heliox(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), HELIOX_PATH);
        return std::make_unique<ChildProcess>(
            arguments,
            std::map<std::string, std::string>{{"DISPLAY", server.name()},
                                               {"XDG_CONFIG_HOME", (folder / "config").string()},
                                               {"SDL_AUDIODRIVER", "dummy"}},
            folder / "output.txt");
    }

    void xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + server.name() + " xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    Window root() const { return DefaultRootWindow(server.display()); }

    // Waits for the show's first frames; false, with what the screen showed last, when they do not come.
    ::testing::AssertionResult showIsOnScreen(Window window, double share = 0.9) {
        double last = 0;
        if (eventually(60s,
                       [&] { return (last = screenPixels(server.display(), window).litShare()) > share; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "only " << last << " of the window is lit";
    }

    GammaRamp firstCrtcRamp() {
        XrandrGamma crtcs(server.display(), root());
        return crtcs.read(0);
    }

    // A top-level window of the test's own, as a host (XScreenSaver, a settings page) would make.
    Window hostWindow(int width, int height) {
        Display* d = server.display();
        Window window = XCreateSimpleWindow(d, root(), 0, 0, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, 0, BlackPixel(d, 0));
        XSelectInput(d, window, StructureNotifyMask);
        XMapWindow(d, window);
        XEvent event;
        XWindowEvent(d, window, StructureNotifyMask, &event);
        XSync(d, False);
        return window;
    }

    std::vector<Window> mappedChildren(Window parent) {
        Window rootReturn, parentReturn, *children = nullptr;
        unsigned count = 0;
        std::vector<Window> mapped;
        if (XQueryTree(server.display(), parent, &rootReturn, &parentReturn, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(server.display(), children[i], &attributes) &&
                    attributes.map_state == IsViewable)
                    mapped.push_back(children[i]);
            }
            XFree(children);
        }
        return mapped;
    }

    VirtualXServer server;
    fs::path folder;
};

// Xvfb draws through Mesa's software rasterizer, which pays for every sample (more than twice a frame's
// processor time at four): the show's visual stays plain there with Multisample on, although the server has
// multisampled visuals, and plain is what it always gets with Multisample off.
TEST(GlVisual, MultisampledOnlyWhereAGraphicsCardDraws) {
    VirtualXServer server;
    ASSERT_TRUE(server.running());
    Display* display = server.display();
    const int screen = DefaultScreen(display);
    int multisampledAttributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_SAMPLE_BUFFERS, 1, GLX_SAMPLES, 4, None};
    XVisualInfo* multisampled = glXChooseVisual(display, screen, multisampledAttributes);
    ASSERT_NE(multisampled, nullptr) << "the server has no multisampled visual to refuse";
    XFree(multisampled);
    for (bool multisample : {true, false}) {
        XVisualInfo* visual = chooseGlVisual(display, screen, multisample);
        ASSERT_NE(visual, nullptr);
        int sampleBuffers = -1;
        glXGetConfig(display, visual, GLX_SAMPLE_BUFFERS, &sampleBuffers);
        EXPECT_EQ(sampleBuffers, 0) << "Multisample=" << multisample;
        XFree(visual);
    }
}

TEST_F(XShell, FullScreenShowsTheSceneAndAKeyEndsItWithTheGammaBack) {
    writeSettings("DefGamma=0\nGamma=80\n");
    const GammaRamp before = firstCrtcRamp();
    ASSERT_GT(before.size(), 0u) << "Xvfb offers no CRTC gamma";

    auto run = heliox({"-s", "--data", skyShow().string(), "--no-music"});
    ASSERT_TRUE(showIsOnScreen(root())) << run->output();
    Settings asked;
    asked.gamma = 80;
    EXPECT_EQ(firstCrtcRamp(), exponentRamp(gammaExponent(asked), before.size()));

    xdotool("key space");
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();
    EXPECT_EQ(firstCrtcRamp(), before);
    EXPECT_TRUE(mappedChildren(root()).empty()) << "the show's windows outlived the run";
}

TEST_F(XShell, StopSignalsAndALostConnectionPutTheGammaBackToo) {
    writeSettings("DefGamma=0\nGamma=20\n");
    const GammaRamp before = firstCrtcRamp();
    const fs::path show = skyShow();

    auto terminated = heliox({"-s", "--data", show.string()});
    ASSERT_TRUE(showIsOnScreen(root())) << terminated->output();
    EXPECT_NE(firstCrtcRamp(), before);
    terminated->signal(SIGTERM);
    EXPECT_EQ(terminated->waitForExit(1s), 0) << terminated->output();
    EXPECT_EQ(firstCrtcRamp(), before);

    // The window system throws the client out (as xkill does): the ramp goes back through a new connection.
    auto killed = heliox({"-s", "--data", show.string()});
    ASSERT_TRUE(showIsOnScreen(root())) << killed->output();
    ASSERT_NE(firstCrtcRamp(), before);
    std::vector<Window> windows = mappedChildren(root());
    ASSERT_FALSE(windows.empty());
    XKillClient(server.display(), windows.front());
    XSync(server.display(), False);
    EXPECT_EQ(killed->waitForExit(2s), 1) << killed->output();
    EXPECT_NE(killed->output().find("connection to the X server was lost"), std::string::npos);
    EXPECT_EQ(firstCrtcRamp(), before);
}

// Every signal sent to end a process, and the faults and aborts that end it anyway, leave the display as it
// was: the stop signals end the run as a key does, the fatal ones still take the process down as before.
TEST_F(XShell, EveryCatchableWayOutPutsTheGammaBack) {
    writeSettings("DefGamma=0\nGamma=20\n");
    const GammaRamp before = firstCrtcRamp();
    const fs::path show = skyShow();
    for (const int signal : {SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE, SIGABRT, SIGSEGV}) {
        auto run = heliox({"-s", "--data", show.string(), "--no-music"});
        ASSERT_TRUE(showIsOnScreen(root())) << run->output();
        ASSERT_NE(firstCrtcRamp(), before);
        run->signal(signal);
        // A fault still ends the process as a failure: killed by its signal, or, under the sanitizers, by
        // the sanitizer's own report and exit status.
        const bool fatal = signal == SIGABRT || signal == SIGSEGV;
        // Generous, for a loaded machine and a sanitizer's report: the fault was a run that never ended.
        const std::optional<int> exit = run->waitForExit(30s);
        ASSERT_TRUE(exit.has_value()) << strsignal(signal) << run->output();
        if (fatal)
            EXPECT_NE(*exit, 0) << strsignal(signal) << run->output();
        else
            EXPECT_EQ(*exit, 0) << strsignal(signal) << run->output();
        EXPECT_EQ(firstCrtcRamp(), before) << strsignal(signal);
    }
}

// The X server going away at any moment of the start (0.2 to 0.6 s in, while GLX is being asked for a visual
// or a window is made, and later, while the show loads) is a lost connection, said as such, never a crash.
TEST_F(XShell, TheXServerGoingAwayAtAnyMomentOfTheStartIsACleanLostConnection) {
    const fs::path show = skyShow();
    for (const auto delay : {200ms, 300ms, 400ms, 500ms, 600ms, 1500ms}) {
        auto dying = std::make_unique<VirtualXServer>();
        ASSERT_TRUE(dying->running());
        ChildProcess run({HELIOX_PATH, "-s", "--data", show.string(), "--no-music"},
                         {{"DISPLAY", dying->name()}, {"XDG_CONFIG_HOME", (folder / "config").string()}},
                         folder / "dying.txt");
        std::this_thread::sleep_for(delay);
        dying.reset();
        const std::optional<int> exit = run.waitForExit(10s);
        ASSERT_TRUE(exit.has_value()) << delay.count() << " ms: " << run.output();
        EXPECT_EQ(*exit, 1) << delay.count() << " ms: " << run.output();
        const std::string output = run.output();
        EXPECT_TRUE(output.find("the connection to the X server was lost") != std::string::npos ||
                    output.find("cannot open the X display") != std::string::npos)
            << delay.count() << " ms: " << output;
    }
}

TEST_F(XShell, MouseExitCountsTravelRightOrDownAndNeverTheMiddleButton) {
    writeSettings("MouseExit=1\n");
    auto run = heliox({"--data", skyShow().string()}); // no switch: the show, full screen
    ASSERT_TRUE(showIsOnScreen(root())) << run->output();
    // The pointer waits in the middle of the 1024 x 768 show. Absolute moves: no pointer acceleration.
    xdotool("mousemove 535 384"); // 23 pixels: 6.9
    std::this_thread::sleep_for(1300ms);
    EXPECT_TRUE(run->running());
    xdotool("mousemove 462 384"); // 50 pixels left
    std::this_thread::sleep_for(1300ms);
    EXPECT_TRUE(run->running());
    xdotool("click 2");
    std::this_thread::sleep_for(1300ms);
    ASSERT_TRUE(run->running()) << run->output();
    xdotool("mousemove 536 384"); // 24 pixels: 7.2
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();
}

TEST_F(XShell, InTheHostsWindowItDrawsFollowsItsSizeAndEndsOnSigterm) {
    Window host = hostWindow(320, 240);
    auto run = heliox({"--window-id", std::to_string(host), "--data", skyShow().string()});
    ASSERT_TRUE(showIsOnScreen(host)) << run->output();
    EXPECT_EQ(mappedChildren(root()), std::vector<Window>{host}) << "the hack mapped a window of its own";
    const Pixels small = screenPixels(server.display(), host);
    const unsigned char* centre = small.at(160, 120);
    EXPECT_NEAR(centre[0], skyRed, 40);
    EXPECT_NEAR(centre[2], skyBlue, 40);

    XResizeWindow(server.display(), host, 480, 360);
    XSync(server.display(), False);
    EXPECT_TRUE(eventually(10s, [&] {
        Pixels grown = screenPixels(server.display(), host);
        return grown.width == 480 && grown.litShare() > 0.98;
    })) << "the picture did not follow the window's new size";

    run->signal(SIGTERM);
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();
    XWindowAttributes attributes;
    EXPECT_TRUE(XGetWindowAttributes(server.display(), host, &attributes)) << "the host's window is gone";

    auto nowhere = heliox({"--window-id", "0x7ffffe", "--data", skyShow().string()});
    EXPECT_EQ(nowhere->waitForExit(10s), 1);
    EXPECT_NE(nowhere->output().find("window 0x7ffffe does not exist"), std::string::npos)
        << nowhere->output();
}

TEST_F(XShell, AnOrdinaryWindowFollowsItsSizeTakesClicksAndAKeyClosesIt) {
    auto run = heliox({"--window", "--data", skyShow().string(), "--no-music"});
    std::vector<Window> windows;
    ASSERT_TRUE(eventually(20s, [&] { return (windows = mappedChildren(root())).size() == 1; }))
        << run->output();
    const Window window = windows.front();
    ASSERT_TRUE(showIsOnScreen(window)) << run->output();
    EXPECT_EQ(screenPixels(server.display(), window).width, 800);

    XResizeWindow(server.display(), window, 640, 700);
    XSync(server.display(), False);
    EXPECT_TRUE(eventually(10s, [&] {
        Pixels resized = screenPixels(server.display(), window);
        return resized.height == 700 && resized.litShare() > 0.98;
    }));
    xdotool("mousemove 300 300 click 1");
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(run->running()) << "a click on a window on the desktop ended the show";
    xdotool("key q");
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();
}

// The picture fills the area a settings page gives it, at any size, and follows the area when it changes.
TEST_F(XShell, ThePreviewFillsItsAreaUntilTheHostDestroysIt) {
    Window area = hostWindow(200, 150);
    auto run = heliox({"-p", std::to_string(area)});
    ASSERT_TRUE(eventually(10s, [&] { return mappedChildren(area).size() == 1; })) << run->output();
    auto showsThePicture = [&](int width, int height) {
        const std::vector<std::uint8_t> picture = previewPictureIn(width, height);
        return eventually(5s, [&] {
            const Pixels shown = screenPixels(server.display(), area);
            if (shown.width != width || shown.height != height)
                return false;
            // The Sun near the left edge, the planet on the right, and the far corner of the picture.
            for (auto [x, y] : {std::pair{width / 6, height / 2},
                                {width * 72 / 100, height * 3 / 5},
                                {width - 3, height - 3}})
                if (!std::equal(shown.at(x, y), shown.at(x, y) + 3, &picture[(y * width + x) * 3]))
                    return false;
            return true;
        });
    };
    EXPECT_TRUE(showsThePicture(200, 150));
    XResizeWindow(server.display(), area, 400, 300);
    XSync(server.display(), False);
    EXPECT_TRUE(showsThePicture(400, 300));
    EXPECT_TRUE(run->running());

    XDestroyWindow(server.display(), area);
    XSync(server.display(), False);
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();

    // No window, or one that is not there: one line that says so.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-p"}, {"-p", "0"}}) {
        auto nowhere = heliox(args);
        EXPECT_EQ(nowhere->waitForExit(5s), 2);
        const std::string output = nowhere->output();
        EXPECT_EQ(output.rfind("heliox: -p needs the number of the window", 0), 0u) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    }
    auto gone = heliox({"-p", std::to_string(area)});
    EXPECT_EQ(gone->waitForExit(5s), 1);
    EXPECT_EQ(gone->output(), "heliox: -p " + std::to_string(area) + ": no window to show the preview in\n");
}

TEST_F(XShell, ShowsThatCannotBeShownSayWhyAndFail) {
    auto missing = heliox({"-s", "--data", (folder / "nothing.sdd").string()});
    EXPECT_EQ(missing->waitForExit(10s), 1);
    // Why, and what to do about it.
    EXPECT_NE(
        missing->output().find("nothing.sdd: cannot open the show's archive: No such file or directory"),
        std::string::npos)
        << missing->output();
    EXPECT_NE(missing->output().find("--data FILE"), std::string::npos) << missing->output();

    const fs::path damaged = folder / "damaged.sdd";
    {
        std::ifstream in(skyShow(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(damaged, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    auto corrupt = heliox({"-s", "--data", damaged.string()});
    EXPECT_EQ(corrupt->waitForExit(10s), 1);
    EXPECT_NE(corrupt->output().find("damaged.sdd: "), std::string::npos) << corrupt->output();
    EXPECT_TRUE(mappedChildren(root()).empty());

    // A missing picture is said, and the rest of the show goes on.
    auto partial = heliox({"-s", "--data", skyShow("sky.jpg\nearth.jpg\nEND_TEXT\n").string()});
    ASSERT_TRUE(showIsOnScreen(root())) << partial->output();
    xdotool("key Escape");
    EXPECT_EQ(partial->waitForExit(1s), 0);
    EXPECT_NE(partial->output().find("ARCH:Can't load JPG file: textures\\earth.jpg"), std::string::npos)
        << partial->output();
}

// The settings as a user without an editor sees and changes them: -c says where they live and whether the
// file is there; --set saves through the loader's checks, all or nothing.
TEST_F(XShell, SettingsAreShownWithCAndChangedWithSet) {
    const fs::path file = folder / "config" / "heliox" / "heliox.conf";
    auto before = heliox({"-c"});
    EXPECT_EQ(before->waitForExit(5s), 0);
    EXPECT_NE(before->output().find(file.string() + " (not there yet"), std::string::npos)
        << before->output();

    auto set = heliox({"--set", "Speed=20", "MouseExit=1", "--set", "TimeFormat=12"});
    EXPECT_EQ(set->waitForExit(5s), 0) << set->output();
    auto misspelt = heliox({"--set", "Volume=30", "speed=90"});
    EXPECT_EQ(misspelt->waitForExit(5s), 2);
    EXPECT_NE(misspelt->output().find("did you mean Speed?"), std::string::npos) << misspelt->output();

    auto after = heliox({"-c"});
    EXPECT_EQ(after->waitForExit(5s), 0);
    const std::string output = after->output();
    EXPECT_EQ(output.find("not there yet"), std::string::npos) << output;
    EXPECT_NE(output.find("Speed=20\n"), std::string::npos) << output;
    EXPECT_NE(output.find("MouseExit=1\n"), std::string::npos) << output;
    EXPECT_NE(output.find("TimeFormat=1\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ShowFlame=0\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Volume=100\n"), std::string::npos) << "a refused --set saved its neighbour";
    EXPECT_TRUE(mappedChildren(root()).empty());
}

// A word the program does not know never takes the screen: a screen-saver host's rule that any other letter
// means the show is not Linux's.
TEST_F(XShell, AnUnknownWordIsAUsageErrorNotAShow) {
    for (const char* word : {"-version", "-v", "-sx", "help", "foo", "/tmp/nothing.sdd"}) {
        auto run = heliox({word});
        EXPECT_EQ(run->waitForExit(1s), 2) << word;
        // One line: the word, and where the options are.
        const std::string output = run->output();
        EXPECT_NE(output.find(word), std::string::npos) << output;
        EXPECT_NE(output.find("--help"), std::string::npos) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    }
    EXPECT_TRUE(mappedChildren(root()).empty());
    auto version = heliox({"--version"});
    EXPECT_EQ(version->waitForExit(1s), 0);
    EXPECT_EQ(version->output().rfind("heliox ", 0), 0u) << version->output();
}

// The frame cap sleeps out the rest of each frame, so 30 frames at MaxFPS=5 last at least six seconds. Other
// work on the machine can only make them last longer; uncapped, this small show draws them in a fraction of
// that. How much processor time the cap saves is frame_cap_bench's to measure.
TEST_F(XShell, TheFrameCapSpreadsTheFramesOverTheirShareOfTheSecond) {
    writeSettings("MaxFPS=5\n");
    const fs::path show = skyShow();
    const auto start = std::chrono::steady_clock::now();
    auto run = heliox({"--window", "--frames", "30", "--data", show.string()});
    ASSERT_EQ(run->waitForExit(120s), 0) << run->output();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 6s) << "30 frames ended before six seconds";
}

// UseDesktop=0 draws the picture at Width x Height and scales it to fill the screen, its shape kept: a wide
// picture leaves black bars above and below. A window opens at that size.
TEST_F(XShell, UseDesktopOffScalesAPictureOfItsOwnSize) {
    writeSettings("UseDesktop=0\nWidth=400\nHeight=100\n");
    const fs::path show = skyShow();
    auto run = heliox({"-s", "--data", show.string()});
    ASSERT_TRUE(eventually(60s, [&] {
        const Pixels screen = screenPixels(server.display(), root());
        return screen.width > 0 && screen.at(512, 384)[0] > skyRed - 30;
    })) << run->output();
    const Pixels screen = screenPixels(server.display(), root());
    // 1024 x 768 filled by a 4:1 picture: 1024 x 256 in the middle, bars of 256 above and below.
    for (int y : {250, 518})
        EXPECT_LT(screen.at(512, y)[0], 24) << "row " << y << " should be a black bar";
    for (int y : {270, 500})
        EXPECT_GT(screen.at(512, y)[0], skyRed - 30) << "row " << y << " should be the picture";
    xdotool("key Escape");
    EXPECT_EQ(run->waitForExit(2s), 0);

    auto window = heliox({"--window", "--data", show.string()});
    ASSERT_TRUE(eventually(60s, [&] { return !mappedChildren(root()).empty(); }));
    XWindowAttributes attributes;
    XGetWindowAttributes(server.display(), mappedChildren(root()).front(), &attributes);
    EXPECT_EQ(attributes.width, 400);
    EXPECT_EQ(attributes.height, 100);
}

// The largest Width x Height the settings take is far more than any monitor shows: drawn at that size and
// shrunk, every frame would cost seconds and gigabytes. The picture is made as large as the screen shows, its
// shape kept, and a key ends the run at once.
TEST_F(XShell, UseDesktopOffDrawsNoLargerThanTheScreenShows) {
    writeSettings("UseDesktop=0\nWidth=16384\nHeight=8192\n");
    const fs::path show = skyShow();
    auto run = heliox({"-s", "--data", show.string(), "--no-music"});
    ASSERT_TRUE(showIsOnScreen(root(), 0.45)) << run->output();
    xdotool("key Escape");
    // The fault was a key ignored for minutes; a loaded machine may take a few seconds.
    EXPECT_EQ(run->waitForExit(30s), 0) << run->output();
    EXPECT_NE(
        run->output().find("16384 x 8192 is more than the monitor shows (1024 x 768); drawing at 1024 x 512"),
        std::string::npos)
        << run->output();
    EXPECT_LT(run->peakMemoryKb(), 1024 * 1024) << "KiB at the peak";

    auto window = heliox({"--window", "--data", show.string(), "--no-music"});
    ASSERT_TRUE(eventually(60s, [&] { return !mappedChildren(root()).empty(); })) << window->output();
    XWindowAttributes attributes;
    XGetWindowAttributes(server.display(), mappedChildren(root()).front(), &attributes);
    EXPECT_EQ(attributes.width, 1024);
    EXPECT_EQ(attributes.height, 512);
}

} // namespace
