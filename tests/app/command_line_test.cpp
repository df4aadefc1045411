#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

struct Parsed {
    RunMode mode;
    std::uint32_t parentWindow;
};

Parsed parse(std::string_view text) {
    std::uint32_t window = 0xDEAD;
    RunMode mode = parseCommandLine(text, window);
    return {mode, window};
}

TEST(ParseCommandLine, ReadsTheHostsSwitchesWithTheirWindowNumbers) {
    EXPECT_EQ(parse("heliox.scr /c:123").mode, RunMode::Config);
    EXPECT_EQ(parse("heliox.scr /c:123").parentWindow, 123u);
    EXPECT_EQ(parse("heliox.scr /c 123").parentWindow, 123u);
    EXPECT_EQ(parse("heliox.scr -C123").parentWindow, 123u);
    EXPECT_EQ(parse("heliox.scr /c:abc12").parentWindow, 12u);
    EXPECT_EQ(parse("heliox.scr /p 567").mode, RunMode::Preview);
    EXPECT_EQ(parse("heliox.scr /p 567").parentWindow, 567u);
    EXPECT_EQ(parse("heliox.scr /P 42x9").parentWindow, 42u);
}

TEST(ParseCommandLine, NoSwitchOrNoNumberMeansSettingsAndWindowZero) {
    for (std::string_view text : {"", "heliox.scr", "\"C:\\Program Files\\heliox.scr\"", "heliox.scr   ",
                                  "heliox.scr  plain words"}) {
        Parsed p = parse(text);
        EXPECT_EQ(p.mode, RunMode::Config) << text;
        EXPECT_EQ(p.parentWindow, 0u) << text;
    }
    EXPECT_EQ(parse("heliox.scr /p").mode, RunMode::Preview);
    EXPECT_EQ(parse("heliox.scr /p").parentWindow, 0u);
    EXPECT_EQ(parse("heliox.scr /c").parentWindow, 0u);
}

TEST(ParseCommandLine, AnyOtherLetterRunsTheShowAndTRunsItAsATest) {
    for (std::string_view text : {"h /s", "h /S", "h /x", "h /", "h -", "h -s 77"})
        EXPECT_EQ(parse(text).mode, RunMode::Saver) << text;
    EXPECT_EQ(parse("h /t").mode, RunMode::Test);
    EXPECT_EQ(parse("h -T").mode, RunMode::Test);
    EXPECT_EQ(parse("h /s").parentWindow, 0u);
}

TEST(ParseCommandLine, SkipsAQuotedProgramNameWholeButAnUnquotedOneOnlyToItsFirstBlank) {
    // The quoted path holds '/' and '-': neither is a switch.
    EXPECT_EQ(parse("\"C:/Saver-Dir/heliox.scr\" /p 9").mode, RunMode::Preview);
    EXPECT_EQ(parse("\"C:/Saver-Dir/heliox.scr\"").mode, RunMode::Config);
    EXPECT_EQ(parse("\"C:/Saver-Dir/heliox.scr").mode, RunMode::Config); // unterminated: all name
    // Unquoted, the name ends at the first blank and the rest of it is read for a switch.
    EXPECT_EQ(parse("C:\\My Savers\\heli-t.scr").mode, RunMode::Test);
    EXPECT_EQ(parse("C:/x/heliox.scr /p 5").mode, RunMode::Preview);
}

TEST(ParseCommandLine, OnlyTheFirstSwitchCountsAndItNeedNotStartAWord) {
    EXPECT_EQ(parse("h word/p 31 /s").mode, RunMode::Preview);
    EXPECT_EQ(parse("h word/p 31 /s").parentWindow, 31u);
    EXPECT_EQ(parse("h /s /p 31").mode, RunMode::Saver);
}

TEST(ParseCommandLine, AWindowNumberThatDoesNotFit32BitsNamesNoWindow) {
    EXPECT_EQ(parse("h /p 4294967295").parentWindow, 4294967295u);
    EXPECT_EQ(parse("h /p 4294967296").parentWindow, 0u);
    EXPECT_EQ(parse("h /p 99999999999999999999999").parentWindow, 0u);
}

struct Arguments {
    ArgumentsResult result;
    SaverApplication app;
    std::string error;
};

Arguments arguments(std::vector<std::string_view> args) {
    Arguments a;
    a.result = parseArguments(args, a.app, a.error);
    return a;
}

TEST(ParseArguments, TakesLongOptionsOutBeforeTheSwitchRules) {
    // The path holds '/' and '-'; only "-p 77" is a switch.
    Arguments a = arguments({"--data", "/opt/my-show/data.sdd", "-p", "77", "--seed=9"});
    ASSERT_EQ(a.result, ArgumentsResult::run) << a.error;
    EXPECT_EQ(a.app.mode, RunMode::Preview);
    EXPECT_EQ(a.app.parentWindow, 77u);
    EXPECT_EQ(a.app.options.dataPath, "/opt/my-show/data.sdd");
    EXPECT_EQ(a.app.options.seed, 9u);
}

TEST(ParseArguments, DisplayOptionsRunTheShowAndAcceptOneDashAsXProgramsDo) {
    Arguments window = arguments({"--window"});
    EXPECT_EQ(window.app.mode, RunMode::Saver);
    EXPECT_TRUE(window.app.options.window);
    EXPECT_TRUE(arguments({"-w"}).app.options.window);

    Arguments hack = arguments({"-root"});
    EXPECT_EQ(hack.app.mode, RunMode::Saver);
    EXPECT_TRUE(hack.app.options.root);

    Arguments id = arguments({"-window-id", "0x1a00007"});
    EXPECT_EQ(id.app.options.windowId, 0x1a00007u);
    EXPECT_EQ(arguments({"--window-id=4711"}).app.options.windowId, 4711u);

    Arguments render = arguments({"--render", "out", "--size", "320x200", "--frames", "5", "--dt", "0.5"});
    ASSERT_EQ(render.result, ArgumentsResult::run) << render.error;
    EXPECT_EQ(render.app.mode, RunMode::Saver);
    EXPECT_EQ(render.app.options.renderDir, "out");
    EXPECT_EQ(render.app.options.width, 320u);
    EXPECT_EQ(render.app.options.height, 200u);
    EXPECT_EQ(render.app.options.frames, 5u);
    EXPECT_EQ(render.app.options.frameStep, 0.5);

    EXPECT_EQ(arguments({"-t", "--window"}).app.mode, RunMode::Test);
    EXPECT_EQ(arguments({}).app.mode, RunMode::Config);
    EXPECT_EQ(arguments({"--fps"}).app.mode, RunMode::Config); // not a display choice
}

TEST(ParseArguments, TellsAnExplicitSettingsSwitchFromNoSwitchAtAll) {
    // Without a host, Linux runs the show for no switch; "-c" still asks for the settings.
    EXPECT_FALSE(arguments({}).app.switchGiven);
    EXPECT_FALSE(arguments({"--fps", "--speed", "20"}).app.switchGiven);
    Arguments config = arguments({"-c"});
    EXPECT_EQ(config.app.mode, RunMode::Config);
    EXPECT_TRUE(config.app.switchGiven);
    EXPECT_TRUE(arguments({"--data", "x.sdd", "-s"}).app.switchGiven);
}

TEST(ParseArguments, PerRunOverridesOfTheSettings) {
    Arguments a = arguments(
        {"--render", "out", "--speed", "80", "--volume=0", "--no-music", "--clock", "--time", "23:59:07"});
    ASSERT_EQ(a.result, ArgumentsResult::run) << a.error;
    EXPECT_EQ(a.app.options.speed, 80u);
    EXPECT_EQ(a.app.options.volume, 0u);
    EXPECT_EQ(a.app.options.music, false);
    EXPECT_EQ(a.app.options.showClock, true);
    EXPECT_FALSE(a.app.options.showFps.has_value());
    EXPECT_EQ(a.app.options.time, "23:59:07");
}

// An XScreenSaver settings page can only add arguments, so every setting it shows as a check box needs a way
// to turn it off for the run as well as on; the last word on the command line counts.
TEST(ParseArguments, TheCounterAndTheClockCanBeTurnedOffForARun) {
    Arguments off = arguments({"--root", "--no-clock", "--no-fps"});
    ASSERT_EQ(off.result, ArgumentsResult::run) << off.error;
    EXPECT_EQ(off.app.options.showClock, false);
    EXPECT_EQ(off.app.options.showFps, false);
    Arguments last = arguments({"--root", "--no-clock", "--clock", "--fps", "--no-fps"});
    EXPECT_EQ(last.app.options.showClock, true);
    EXPECT_EQ(last.app.options.showFps, false);
}

TEST(ParseArguments, RejectsWhatItCannotUseWithAReason) {
    const std::vector<std::vector<std::string_view>> bad = {
        {"--sparkles"},
        {"--data"},
        {"--speed", "101"},
        {"--speed", "fast"},
        {"--window-id", "0"},
        {"--window-id=0x"},
        {"--size", "800"},
        {"--size", "0x600"},
        {"--frames", "0"},
        {"--dt", "-1"},
        {"--time", "24:00:00"},
        {"--window=yes"},
        {"-c", "--window"},
        {"-p", "5", "--root"},
        // Numbers that would be taken as something else: no camera place, another window or none.
        {"--camera", "nan,0,0:0,0,0"},
        {"--camera", "0,0,1:inf,0,0"},
        {"--window-id", "99999999999999"},
        {"--window-id", "0x20000000"},
        {"-p", "0x12345678"},
        {"-p", "4294967296"},
        {"-p4294967296"},
        {"/c", "12ab"},
    };
    for (const auto& args : bad) {
        Arguments a = arguments(args);
        EXPECT_EQ(a.result, ArgumentsResult::usageError) << args[0];
        EXPECT_FALSE(a.error.empty()) << args[0];
    }
    EXPECT_NE(arguments({"--sparkles"}).error.find("--sparkles"), std::string::npos);
    EXPECT_NE(arguments({"-p", "0x12345678"}).error.find("not a window number"), std::string::npos);
    EXPECT_NE(arguments({"--\x1B[2J"}).error.find("\\x1B[2J"), std::string::npos); // echoed printable
    EXPECT_EQ(arguments({"--window-id", "0x1fffffff"}).app.options.windowId, 0x1fffffffu);
    EXPECT_EQ(arguments({"--help"}).result, ArgumentsResult::help);
    EXPECT_EQ(arguments({"--data", "/"}).result, ArgumentsResult::run); // a folder: an unpacked show
    EXPECT_NE(usageText().find("--window-id ID"), std::string::npos);
}

// Linux takes no bare words: "help", a file's name or a pair without --set would otherwise run the show.
TEST(ParseArguments, EveryWordThatIsNotAnOptionIsAUsageErrorThatNamesIt) {
    for (std::string_view word : {"help", "foo", "/tmp/nothing.sdd", "/", "MaxFPS=20", "-"}) {
        for (const std::vector<std::string_view>& args :
             {std::vector<std::string_view>{word}, {"--window", word}, {"-s", word}}) {
            Arguments a = arguments(args);
            EXPECT_EQ(a.result, ArgumentsResult::usageError) << word << " after " << args[0];
            EXPECT_NE(a.error.find(word), std::string::npos) << a.error;
            EXPECT_EQ(a.error.find('\n'), std::string::npos) << a.error;
        }
    }
    EXPECT_NE(arguments({"help"}).error.find("(did you mean --help?)"), std::string::npos);
    EXPECT_NE(arguments({"x.sdd"}).error.find("--data"), std::string::npos);
    // The preview needs its window: without one there is nothing to draw into.
    for (const std::vector<std::string_view>& args :
         {std::vector<std::string_view>{"-p"}, {"-p", "0"}, {"/p"}})
        EXPECT_NE(arguments(args).error.find("-p needs the number of the window"), std::string::npos)
            << args[0];
    // Options that only change rendered frames would do nothing on the display.
    for (std::string_view option : {"--time=10:00:00", "--size=640x480", "--camera=0,0,1:0,0,0"}) {
        EXPECT_NE(arguments({"--window", option}).error.find("needs --render"), std::string::npos) << option;
        EXPECT_EQ(arguments({"--render", "out", option}).result, ArgumentsResult::run) << option;
    }
}

TEST(ParseArguments, SetTakesEveryPairThatFollowsIt) {
    Arguments a = arguments({"--set", "Speed=80", "MaxFPS=20", "--set=Volume=5", "TimeFormat=24"});
    ASSERT_EQ(a.result, ArgumentsResult::run) << a.error;
    EXPECT_EQ(a.app.options.settingsToSave,
              (std::vector<std::string>{"Speed=80", "MaxFPS=20", "Volume=5", "TimeFormat=24"}));
    // Only right after --set: elsewhere a pair is a mistake, not a setting saved by chance.
    EXPECT_EQ(arguments({"--set", "Speed=80", "--fps", "MaxFPS=20"}).result, ArgumentsResult::usageError);
}

TEST(ParseArguments, ARefusedValueIsEchoedWithTheValuesTheOptionTakes) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string_view>> cases = {
        {{"--max-fps", "1001"}, "(expected 0 to 1000)"},
        {{"--frames", "0"}, "(expected 1 to 4294967295)"},
        {{"--dt", "0"}, "(expected seconds, above 0 to 1)"},
        {{"--speed", "-1"}, "(expected 0 to 100)"},
        {{"--time-format", "13"}, "(expected 12 or 24)"},
        {{"--size", "0x9"}, "(expected WxH, each 1 to 16384)"},
    };
    for (const auto& [args, expected] : cases) {
        Arguments a = arguments(args);
        EXPECT_NE(a.error.find(expected), std::string::npos) << a.error;
        EXPECT_NE(a.error.find(args[1]), std::string::npos) << a.error;
    }
    // The clock's hours as people say them, and as the settings store them.
    for (auto [value, twelveHours] : {std::pair{"12", true}, {"24", false}, {"1", true}, {"0", false}})
        EXPECT_EQ(arguments({"--time-format", value}).app.options.twelveHourClock, twelveHours) << value;
}

// The help fits a terminal of 80 columns, its descriptions in one column, and names every option.
TEST(Usage, EveryOptionInTwoColumnsWithin80Columns) {
    const std::string text = usageText();
    std::size_t column = 0, rows = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 80u) << line;
        if (!line.starts_with("  "))
            continue;
        const std::size_t description = line.starts_with("  -")
                                            ? line.find_first_not_of(' ', line.find("  ", 2))
                                            : line.find_first_not_of(' ');
        column = column ? column : description;
        EXPECT_EQ(description, column) << line;
        rows += line.starts_with("  -");
    }
    EXPECT_GT(rows, 25u);
    for (std::string_view option :
         {"\n  --help, -h ", "\n  --version ", "\n  --camera X,Y,Z:X,Y,Z ", "\n  -p WINDOW "})
        EXPECT_NE(text.find(option), std::string::npos) << option;
}

#ifndef _WIN32
// A named pipe as the archive would block the run until something writes to it.
TEST(ParseArguments, RejectsANamedPipeAsTheArchive) {
    const std::string fifo = (std::filesystem::temp_directory_path() / "heliox-command-line-fifo").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Arguments a = arguments({"--data", fifo});
    std::filesystem::remove(fifo);
    EXPECT_EQ(a.result, ArgumentsResult::usageError);
    EXPECT_NE(a.error.find("a named pipe"), std::string::npos) << a.error;
}
#endif

} // namespace
