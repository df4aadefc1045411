#include "app/linux/folder_lock.h"
#include "app/linux/settings_file.h"
#include "tests/unusual_settings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("heliox-settings-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        path = (folder / "heliox" / "heliox.conf").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    void writeText(const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << text;
    }
    std::string readText() const {
        std::stringstream s;
        s << std::ifstream(path).rdbuf();
        return s.str();
    }
    Settings load(std::string* warnings = nullptr) {
        Settings s;
        std::ostringstream out;
        EXPECT_TRUE(readSettingsFile(path, s, out));
        if (warnings)
            *warnings = out.str();
        return s;
    }

    fs::path folder;
    std::string path;
};

TEST_F(SettingsFile, AFirstRunWithoutAFileGetsTheDefaults) {
    Settings s = load();
    EXPECT_EQ(s, Settings{});
    EXPECT_TRUE(s.useDesktop && s.enableMusic && s.showClock && s.defGamma);
    EXPECT_FALSE(s.showFps || s.vSync || s.mouseExit || s.timeFormat);
    EXPECT_EQ(s.volume, 100u);
    EXPECT_EQ(s.gamma, 50u);
    EXPECT_EQ(s.speed, 50u);
    EXPECT_EQ(s.width, 800u);
    EXPECT_EQ(s.height, 600u);
    EXPECT_EQ(s.depth, 32u);
}

TEST_F(SettingsFile, SaveThenLoadGivesBackEveryValueButPath) {
    Settings saved = unusualSettings(inSettingsFile);
    saved.path = "/opt/heliox";
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, Settings{}, saved, error)) << error;

    Settings loaded = load();
    saved.path.clear();
    EXPECT_EQ(loaded, saved);
    std::string text = readText();
    EXPECT_NE(text.find("ShowFlame=0\n"), std::string::npos);
    EXPECT_NE(text.find("TimeFormat=1\n"), std::string::npos); // booleans as 0 or 1
    EXPECT_EQ(text.find("Path"), std::string::npos);
}

TEST_F(SettingsFile, MissingValuesKeepTheirDefaultsNotTheValueBefore) {
    writeText("ShowFPS=1\nWidth=1280\n");
    Settings s = load();
    EXPECT_TRUE(s.showFps);
    EXPECT_EQ(s.width, 1280u);
    EXPECT_EQ(s.height, 600u); // not 1280
    EXPECT_FALSE(s.vSync);     // not the ShowFPS before it
    EXPECT_EQ(s.volume, 100u);
}

TEST_F(SettingsFile, DefGammaForcesNeutralGamma) {
    writeText("Gamma=90\nDefGamma=1\n");
    EXPECT_EQ(load().gamma, 50u);
    writeText("Gamma=90\nDefGamma=0\n");
    EXPECT_EQ(load().gamma, 90u);
}

TEST_F(SettingsFile, BadLinesAreReportedWithFileAndLineAndTheRestLoads) {
    writeText("# my settings\n"
              "Speed=70\n"
              "this is not a setting\n"
              "Volume=150\n"
              "Width=wide\n"
              "Height=99999999999\n"
              "\n"
              "speed=10\n"
              "ShowFPS = 1\n"
              "ShowClock=7\n"
              "TimeFormat=13\n");
    std::string warnings;
    Settings s = load(&warnings);
    EXPECT_EQ(s.speed, 70u);
    EXPECT_TRUE(s.showFps);
    EXPECT_EQ(s.volume, 100u);
    EXPECT_EQ(s.width, 800u);
    EXPECT_EQ(s.height, 600u);
    EXPECT_NE(warnings.find(path + ":3: no '='"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":4: Volume: 150 is outside 0 to 100"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":5: Width"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":6: Height"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":8: unknown setting \"speed\" (did you mean Speed?)"), std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find(path + ":10: ShowClock: 7 is outside 0 to 1"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":11: TimeFormat: \"13\" is not 12 or 24"), std::string::npos) << warnings;
    EXPECT_TRUE(s.showClock);
    EXPECT_FALSE(s.timeFormat);
    // Each warning is one line of its own on standard error, saying which program speaks.
    std::istringstream lines(warnings);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_EQ(line.rfind("heliox: " + path + ":", 0), 0u) << line;
    EXPECT_EQ(count, 7) << warnings;
}

// The clock's hours as people write them, 12 or 24, and as stored files and the registry hold them, 1 or 0;
// in the file and from the command line alike, and the save keeps the stored form.
TEST_F(SettingsFile, TimeFormatTakesTheHoursAndTheStoredSwitch) {
    for (auto [value, twelveHours] : {std::pair{"12", true}, {"24", false}, {"1", true}, {"0", false}}) {
        writeText(std::string("TimeFormat=") + value + "\n");
        EXPECT_EQ(load().timeFormat, twelveHours) << value;
        Settings s;
        s.timeFormat = !twelveHours;
        EXPECT_EQ(setSetting(s, std::string("TimeFormat=") + value), "") << value;
        EXPECT_EQ(s.timeFormat, twelveHours) << value;
    }
    fs::remove(path);
    Settings s;
    ASSERT_EQ(setSetting(s, "TimeFormat=12"), "");
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, Settings{}, s, error)) << error;
    EXPECT_NE(readText().find("TimeFormat=1\n"), std::string::npos) << readText();
}

// --set A=1 B=2: every change is checked before any is taken, and each refused one is named with its reason.
TEST_F(SettingsFile, SeveralChangesAreTakenAllOrNone) {
    Settings s;
    const std::vector<std::string> refused =
        setSettings(s, {"Speed=80", "MaxFPS=2000", "ShowFPS=1", "MouseExit=2", "ShowFlame=1", "Path=/x"});
    EXPECT_EQ(s, Settings{});
    ASSERT_EQ(refused.size(), 4u);
    EXPECT_EQ(refused[0].rfind("MaxFPS=2000: MaxFPS: 2000 is outside 0 to 1000", 0), 0u) << refused[0];
    EXPECT_EQ(refused[1].rfind("MouseExit=2: ", 0), 0u) << refused[1];
    EXPECT_EQ(refused[2].rfind("ShowFlame=1: ", 0), 0u) << refused[2];
    EXPECT_EQ(refused[3].rfind("Path=/x: ", 0), 0u) << refused[3];

    EXPECT_TRUE(setSettings(s, {"Speed=80", "MaxFPS=20", "ShowFPS=1"}).empty());
    EXPECT_EQ(s.speed, 80u);
    EXPECT_EQ(s.maxFps, 20u);
    EXPECT_TRUE(s.showFps);
}

// heliox -c lists every value a save writes, ShowFlame among them.
TEST_F(SettingsFile, TheListedValuesAreTheSavedOnes) {
    Settings s;
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, Settings{}, s, error)) << error;
    EXPECT_EQ(settingsValuesText(s), readText());
}

TEST_F(SettingsFile, PathLoadsUpTo254Characters) {
    std::string longest(254, 'p');
    writeText("Path=" + longest + "\n");
    EXPECT_EQ(load().path, longest);
    writeText("Path=" + longest + "q\n");
    std::string warnings;
    EXPECT_EQ(load(&warnings).path, "");
    EXPECT_NE(warnings.find("254"), std::string::npos);
}

TEST_F(SettingsFile, SaveKeepsTheLinesItDoesNotWriteAndReplacesTheOnesItDoes) {
    writeText("# keep me\nPath=/opt/heliox\nSpeed=10\nSpeed=20\nFutureValue=x\n");
    Settings s;
    s.speed = 90;
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, Settings{}, s, error)) << error;
    std::string text = readText();
    EXPECT_EQ(text.rfind("# keep me\nPath=/opt/heliox\nSpeed=90\nFutureValue=x\nShowClock=1\n", 0), 0u)
        << text;
    EXPECT_EQ(text.find("Speed=20"), std::string::npos);
    EXPECT_EQ(load().path, "/opt/heliox");
}

TEST_F(SettingsFile, ASaveThatCannotFinishLeavesTheOldFileWhole) {
    writeText("Speed=10\n");
    const std::string before = readText();
    // Let the child die of the file-size limit halfway through writing, as a full disk would stop it.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{10, 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        Settings s;
        s.speed = 99;
        std::string error;
        _exit(writeSettingsFile(path, Settings{}, s, error) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3); // reported as a failure
    EXPECT_EQ(readText(), before);
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        EXPECT_EQ(entry.path().filename(), "heliox.conf") << "left behind: " << entry.path();
}

// Hostile lines cost little and echo nothing that could act on the terminal.
TEST_F(SettingsFile, OverlongLinesAndControlBytesAreRefusedInShortPrintableWarnings) {
    writeText(std::string(100'000, 'x') + "\nSpeed=4294967296\nMouse\x1B[2J\x07"
                                          "Exit=1\nVolume=\r\x1B]0;\n");
    std::string warnings;
    const Settings s = load(&warnings);
    EXPECT_EQ(s, Settings{});
    EXPECT_LT(warnings.size(), 1000u) << warnings.substr(0, 1000);
    EXPECT_NE(warnings.find(path + ":1: longer than 4096 bytes"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(path + ":2: Speed: 4294967296 is outside 0 to 100"), std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find("Mouse\\x1B[2J\\x07Exit"), std::string::npos) << warnings;
    for (const char c : warnings)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << "control byte " << int(c);

    // Saving would lose the long line's end: refused, and the file stays as it was.
    const std::string before = readText();
    Settings changed;
    changed.speed = 1;
    std::string error;
    EXPECT_FALSE(writeSettingsFile(path, Settings{}, changed, error));
    EXPECT_NE(error.find(":1: a line longer than 4096 bytes"), std::string::npos) << error;
    EXPECT_EQ(readText(), before);

    // Millions of empty lines, each a line to keep: a file larger than any settings file is not read at all.
    writeText(std::string(std::size_t{2} << 20, '\n') + "Speed=7\n");
    Settings fromHuge;
    std::ostringstream hugeWarnings;
    EXPECT_FALSE(readSettingsFile(path, fromHuge, hugeWarnings));
    EXPECT_EQ(fromHuge, Settings{});
    EXPECT_NE(hugeWarnings.str().find("larger than 1 MiB"), std::string::npos) << hugeWarnings.str();
    const std::string huge = readText();
    EXPECT_FALSE(writeSettingsFile(path, Settings{}, changed, error));
    EXPECT_NE(error.find("larger than 1 MiB"), std::string::npos) << error;
    EXPECT_EQ(readText(), huge);
}

// heliox.conf kept in a dotfiles folder and linked into place, private or read-only: a save changes the file
// the link names, keeps the link and the file's permissions, and leaves a read-only file alone.
TEST_F(SettingsFile, ASaveGoesThroughALinkKeepsTheModeAndRefusesAReadOnlyFile) {
    const fs::path dotfiles = folder / "dotfiles";
    fs::create_directories(dotfiles);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(dotfiles / "heliox.conf") << "# mine\nSpeed=10\n";
    fs::permissions(dotfiles / "heliox.conf", fs::perms(0600));
    fs::create_symlink("../dotfiles/heliox.conf", path);

    Settings s = load();
    const Settings loaded = s;
    s.volume = 30;
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, loaded, s, error)) << error;
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::status(dotfiles / "heliox.conf").permissions(), fs::perms(0600));
    const Settings back = load();
    EXPECT_EQ(back.volume, 30u);
    EXPECT_EQ(back.speed, 10u);

    fs::permissions(dotfiles / "heliox.conf", fs::perms(0444));
    const std::string before = readText();
    s.volume = 40;
    EXPECT_FALSE(writeSettingsFile(path, back, s, error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(readText(), before);

    // A named pipe would block the run until written to; a loop of links names no file at all.
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    std::ostringstream warnings;
    Settings fromPipe;
    EXPECT_FALSE(readSettingsFile(path, fromPipe, warnings));
    EXPECT_NE(warnings.str().find("not a regular file"), std::string::npos) << warnings.str();
    EXPECT_FALSE(writeSettingsFile(path, back, s, error));
    EXPECT_TRUE(fs::is_fifo(path));
    fs::remove(path);
    fs::create_symlink("heliox.conf", path);
    EXPECT_FALSE(writeSettingsFile(path, back, s, error));
    EXPECT_NE(error.find("loop"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(path));
}

// Three processes each save their own value over and over at the same time: every last value lands.
TEST_F(SettingsFile, ConcurrentSavesOfDifferentValuesAllLand) {
    writeText("Speed=0\nVolume=0\nMaxFPS=0\n");
    constexpr std::uint32_t rounds = 40;
    std::uint32_t Settings::*values[] = {&Settings::speed, &Settings::volume, &Settings::maxFps};
    std::vector<pid_t> children;
    for (std::uint32_t Settings::*value : values) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (std::uint32_t round = 1; round <= rounds; ++round) {
                Settings s;
                std::ostringstream ignored;
                readSettingsFile(path, s, ignored);
                const Settings loaded = s;
                s.*value = round;
                std::string error;
                if (!writeSettingsFile(path, loaded, s, error))
                    _exit(3);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const Settings s = load();
    EXPECT_EQ(s.speed, rounds);
    EXPECT_EQ(s.volume, rounds);
    EXPECT_EQ(s.maxFps, rounds);
}

// A lock that another program never lets go of costs a message that says what to do, not a hang.
TEST_F(SettingsFile, AFolderLockedForGoodIsAnErrorNotAWait) {
    fs::create_directories(folder);
    const int holder = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    std::string error;
    EXPECT_FALSE(FolderLock(folder.string(), error, std::chrono::milliseconds(50)).ok());
    EXPECT_NE(error.find("stayed locked by another program; try again"), std::string::npos) << error;
    close(holder);
    error.clear();
    EXPECT_TRUE(FolderLock(folder.string(), error, std::chrono::milliseconds(0)).ok()) << error;
}

TEST_F(SettingsFile, TheFileLivesUnderTheXdgConfigFolder) {
    std::string oldXdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(settingsFilePath(), "/tmp/cfg/heliox/heliox.conf");
    setenv("XDG_CONFIG_HOME", "relative/not/allowed", 1);
    EXPECT_EQ(settingsFilePath(), "/home/someone/.config/heliox/heliox.conf");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), "/home/someone/.config/heliox/heliox.conf");
    oldXdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
    oldHome.empty() ? unsetenv("HOME") : setenv("HOME", oldHome.c_str(), 1);
}

} // namespace
