// heliox on a virtual X server, as a user, XScreenSaver and a settings page start it: the picture, the
// touches that end the show and those that do not, the gamma ramp put back on every way out, the host's
// window, the preview, and clear failures when there is nothing to show.
// GoogleTest first: Xlib defines None and Bool as macros, which its names would collide with.
#include <gtest/gtest.h>

#include "app/gl_setup.h"
#include "app/linux/gamma_guard.h"
#include "app/linux/preview_picture.h"
#include "app/linux/xrandr_gamma.h"
#include "tests/render/test_show.h"
#include "tests/xshell/x_session.h"

#include <X11/Xutil.h>

#include <csignal>
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

TEST_F(XShell, ThePreviewShowsItsPictureUntilTheHostDestroysItsArea) {
    Window area = hostWindow(200, 150);
    auto run = heliox({"-p", std::to_string(area)});
    ASSERT_TRUE(eventually(10s, [&] { return mappedChildren(area).size() == 1; })) << run->output();
    const std::vector<std::uint8_t> picture = previewPicture();
    auto pictureAt = [&](int x, int y) { return &picture[(static_cast<std::size_t>(y) * 155 + x) * 3]; };
    ASSERT_TRUE(eventually(5s, [&] {
        Pixels shown = screenPixels(server.display(), area);
        return shown.at(26, 50)[0] == pictureAt(26, 50)[0] && shown.at(112, 68)[2] == pictureAt(112, 68)[2];
    }));
    const Pixels shown = screenPixels(server.display(), area);
    EXPECT_GT(shown.at(26, 50)[0], 200); // the Sun, in the picture's top-left corner at its own size
    EXPECT_EQ(shown.at(180, 140)[0] + shown.at(180, 140)[1] + shown.at(180, 140)[2], 0); // black beyond
    EXPECT_TRUE(run->running());

    XDestroyWindow(server.display(), area);
    XSync(server.display(), False);
    EXPECT_EQ(run->waitForExit(1s), 0) << run->output();

    auto nowhere = heliox({"-p", "0"});
    EXPECT_EQ(nowhere->waitForExit(5s), 1);
    EXPECT_NE(nowhere->output().find("Cannot creat window!"), std::string::npos) << nowhere->output();
}

TEST_F(XShell, ShowsThatCannotBeShownSayWhyAndFail) {
    auto missing = heliox({"-s", "--data", (folder / "nothing.sdd").string()});
    EXPECT_EQ(missing->waitForExit(10s), 1);
    EXPECT_NE(missing->output().find("nothing.sdd: cannot open the show's archive"), std::string::npos)
        << missing->output();

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

TEST_F(XShell, SettingsModePrintsTheFileAndItsValues) {
    writeSettings("Speed=20\nMouseExit=1\n");
    auto run = heliox({"-c"});
    EXPECT_EQ(run->waitForExit(5s), 0);
    const std::string output = run->output();
    EXPECT_NE(output.find((folder / "config" / "heliox" / "heliox.conf").string()), std::string::npos)
        << output;
    EXPECT_NE(output.find("Speed=20\n"), std::string::npos) << output;
    EXPECT_NE(output.find("MouseExit=1\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Gamma=50\n"), std::string::npos) << output;
    EXPECT_TRUE(mappedChildren(root()).empty());
}

} // namespace
