// Where the show is read from and where it is drawn: the choices a saver run makes before anything loads.
#include "app/win32/host_switch.h"
#include "app/win32/installation_folder.h"
#include "app/win32/show_area.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(InstallationFolder, ThePathsComeFirstThenTheProgramsFolderAndTheMessageNamesWhereTheShowWasInstalled) {
    const std::string own = "C:\\Users\\me\\Heliox", everyone = "C:\\Program Files\\Heliox",
                      program = "C:\\Windows\\System32";
    const auto holding = [](std::set<std::string> folders) {
        return [folders](const std::string& folder) { return folders.count(folder) > 0; };
    };
    EXPECT_EQ(chooseInstallationFolder({own, everyone}, program, holding({own, everyone, program})), own);
    EXPECT_EQ(chooseInstallationFolder({own, everyone}, program, holding({everyone, program})), everyone);
    EXPECT_EQ(chooseInstallationFolder({"", everyone}, program, holding({everyone})), everyone);
    EXPECT_EQ(chooseInstallationFolder({own, everyone}, program, holding({program})), program);
    EXPECT_EQ(chooseInstallationFolder({own, ""}, program, holding({})), own);
    EXPECT_EQ(chooseInstallationFolder({"", everyone}, program, holding({})), everyone);
    EXPECT_EQ(chooseInstallationFolder({"", ""}, program, holding({})), program);
    EXPECT_EQ(showArchiveIn("C:\\"), "C:\\data.sdd");
    EXPECT_EQ(showArchiveIn(everyone), everyone + "\\data.sdd");
}

// Every picture lies inside the monitor with the shape of Width × Height (to a pixel), touches two opposite
// sides, and is centred; bars are there exactly when it does not fill the monitor.
TEST(ShowArea, ARefusedModeKeepsThePicturesShapeInsideTheDesktopWithBarsAround) {
    const RECT monitors[] = {{0, 0, 1024, 768}, {-1920, 0, 0, 1080}, {0, 0, 1366, 768}};
    const std::pair<std::uint32_t, std::uint32_t> modes[] = {
        {1280, 720}, {640, 480}, {1920, 1200}, {1, 32767}};
    for (const RECT& monitor : monitors)
        for (const auto& [width, height] : modes) {
            const ShowArea area = showArea(false, width, height, monitor);
            const RECT& p = area.picture;
            const long w = p.right - p.left, h = p.bottom - p.top;
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " on a monitor at " +
                         std::to_string(monitor.left));
            EXPECT_GE(p.left, monitor.left);
            EXPECT_GE(p.top, monitor.top);
            EXPECT_LE(p.right, monitor.right);
            EXPECT_LE(p.bottom, monitor.bottom);
            EXPECT_TRUE((p.left == monitor.left && p.right == monitor.right) ||
                        (p.top == monitor.top && p.bottom == monitor.bottom));
            EXPECT_LE(std::abs(w * static_cast<long long>(height) - h * static_cast<long long>(width)),
                      static_cast<long long>(std::max(width, height)));
            EXPECT_LE(std::abs((p.left - monitor.left) - (monitor.right - p.right)), 1);
            EXPECT_LE(std::abs((p.top - monitor.top) - (monitor.bottom - p.bottom)), 1);
            const bool fills = w == monitor.right - monitor.left && h == monitor.bottom - monitor.top;
            EXPECT_EQ(isEmpty(area.bars), fills);
            if (!fills) {
                EXPECT_TRUE(EqualRect(&area.bars, &monitor));
            }
        }
    // A mode the display took is that size from the corner, with nothing around it.
    const ShowArea taken = showArea(true, 800, 600, monitors[0]);
    EXPECT_EQ(taken.picture.right, 800);
    EXPECT_EQ(taken.picture.bottom, 600);
    EXPECT_TRUE(isEmpty(taken.bars));
}

TEST(HostSwitch, OnlyTheHostsSwitchesRunAnythingAndAQuotedProgramNameIsNeverASwitch) {
    for (const char* line : {"heliox.scr", "\"C:\\a-b\\heliox.scr\"", "heliox.scr /s", "heliox.scr /S",
                             "heliox.scr -t", "heliox.scr /c:123", "heliox.scr /P 5", "\"C:\\x/y.scr\" /p"})
        EXPECT_TRUE(isKnownHostSwitch(line)) << line;
    for (const char* line : {"heliox.scr /a", "heliox.scr /?", "heliox.scr /x", "heliox.scr /",
                             "heliox.scr -", "\"C:\\a-b\\heliox.scr\" /a 1234"})
        EXPECT_FALSE(isKnownHostSwitch(line)) << line;
}

} // namespace
