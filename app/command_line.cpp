#include "app/command_line.h"

#include "base/printable_text.h"
#include "base/settings.h"
#include "base/time_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#ifndef HELIOX_VERSION
#define HELIOX_VERSION "(unknown version)"
#endif

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The run of digits at the first digit found from `from` on; 0 when there is none or it does not fit.
std::uint32_t windowNumberAfter(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && !isDigit(text[i]))
        ++i;
    std::uint64_t number = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        number = number * 10 + static_cast<unsigned>(text[i] - '0');
        if (number > std::numeric_limits<std::uint32_t>::max())
            return 0;
    }
    return static_cast<std::uint32_t>(number);
}

std::size_t skipProgramName(std::string_view text) {
    if (text.empty())
        return 0;
    if (text[0] == '"') {
        std::size_t close = text.find('"', 1);
        return close == std::string_view::npos ? text.size() : close + 1;
    }
    std::size_t blank = text.find(' ');
    return blank == std::string_view::npos ? text.size() : blank + 1;
}

template <typename T> bool parseNumber(std::string_view s, T& out) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

// A stored number chosen for one run takes the stored setting's range.
bool parseSettingNumber(std::string_view setting, std::string_view s, std::optional<unsigned>& out) {
    const SettingSpec* spec = findSetting(setting);
    unsigned v = 0;
    if (!spec || !parseNumber(s, v) || v < spec->lowest || v > spec->highest)
        return false;
    out = v;
    return true;
}

bool parseSize(std::string_view s, RunOptions& o) {
    std::size_t x = s.find_first_of("xX");
    unsigned w = 0, h = 0;
    if (x == std::string_view::npos || !parseNumber(s.substr(0, x), w) || !parseNumber(s.substr(x + 1), h))
        return false;
    if (w == 0 || h == 0 || w > 16384 || h > 16384)
        return false;
    o.width = w;
    o.height = h;
    return true;
}

// "X,Y,Z:X,Y,Z": where the camera stands and the point it looks at, which must differ.
bool parseHeldCamera(std::string_view s, RunOptions& o) {
    std::array<float, 6> values{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const char separator = i == 5 ? '\0' : i == 2 ? ':' : ',';
        const std::size_t end = separator ? s.find(separator, start) : s.size();
        // nan and inf parse as numbers, but place the camera nowhere: every frame would be black.
        if (end == std::string_view::npos || !parseNumber(s.substr(start, end - start), values[i]) ||
            !std::isfinite(values[i]))
            return false;
        start = end + 1;
    }
    if (values[0] == values[3] && values[1] == values[4] && values[2] == values[5])
        return false;
    o.heldCamera = values;
    return true;
}

bool parseTimeOfDay(std::string_view s, std::optional<std::string>& out) {
    unsigned h = 0, m = 0, sec = 0;
    if (s.size() != 8 || s[2] != ':' || s[5] != ':' || !parseNumber(s.substr(0, 2), h) ||
        !parseNumber(s.substr(3, 2), m) || !parseNumber(s.substr(6, 2), sec) || h > 23 || m > 59 || sec > 59)
        return false;
    out = std::string(s);
    return true;
}

// Small setters so that every entry of the option table reads as one line and reports success.
bool setFlag(bool& flag) {
    flag = true;
    return true;
}

bool setChoice(std::optional<bool>& choice, bool value) {
    choice = value;
    return true;
}

bool setText(std::string& text, std::string_view value) {
    text = value;
    return !value.empty();
}

struct LongOption {
    std::string_view name;
    std::string_view valueName; // empty for an option without a value
    std::string_view help;
    bool choosesDisplay; // where the show is drawn: implies the show rather than the settings
    bool (*apply)(RunOptions&, std::string_view value);
    std::string_view expected = {}; // the values it takes, for the message that refuses another
    bool rendersOnly = false;       // it changes rendered frames only: without --render it would do nothing
};

constexpr LongOption longOptions[] = {
    {"window", "", "show in an ordinary window", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.window); }},
    {"w", "", "the same as --window", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.window); }},
    {"root", "", "draw into the root window (XScreenSaver)", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.root); }},
    {"window-id", "ID", "draw into the existing window ID (XScreenSaver)", true,
     [](RunOptions& o, std::string_view v) { return (o.windowId = parseWindowId(v)).has_value(); },
     "a window id from 1 to 0x1FFFFFFF, decimal or hexadecimal"},
    {"render", "DIR", "render frames off-screen into DIR as PNG files", true,
     [](RunOptions& o, std::string_view v) { return setText(o.renderDir, v); }, "a folder's name"},
    {"data", "PATH", "the show's archive or unpacked folder (default: the installed data.sdd)", false,
     [](RunOptions& o, std::string_view v) { return setText(o.dataPath, v); }, "a file's or folder's name"},
    {"check", "", "report the show's faults without showing it; exit 1 if any", false,
     [](RunOptions& o, std::string_view) { return setFlag(o.check); }},
    {"size", "WxH", "size of rendered frames (default 800x600)", false,
     [](RunOptions& o, std::string_view v) { return parseSize(v, o); }, "WxH, each 1 to 16384", true},
    {"frames", "N", "frames to render, or to show before the show ends", false,
     [](RunOptions& o, std::string_view v) {
         unsigned n = 0;
         if (!parseNumber(v, n) || n == 0)
             return false;
         o.frames = n;
         return true;
     },
     "1 to 4294967295"},
    {"seed", "N", "seed of the random scene, for a reproducible run", false,
     [](RunOptions& o, std::string_view v) {
         std::uint32_t n = 0;
         if (!parseNumber(v, n))
             return false;
         o.seed = n;
         return true;
     },
     "0 to 4294967295"},
    {"dt", "S", "fixed seconds per frame instead of measured time", false,
     [](RunOptions& o, std::string_view v) {
         double s = 0;
         if (!parseNumber(v, s) || !(s > 0 && s <= 1))
             return false;
         o.frameStep = s;
         return true;
     },
     "seconds, above 0 to 1"},
    {"speed", "0-100", "camera speed for this run", false,
     [](RunOptions& o, std::string_view v) { return parseSettingNumber("Speed", v, o.speed); }},
    {"volume", "0-100", "music volume for this run", false,
     [](RunOptions& o, std::string_view v) { return parseSettingNumber("Volume", v, o.volume); }},
    {"fps", "", "show the frame counter", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showFps, true); }},
    {"no-fps", "", "no frame counter", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showFps, false); }},
    {"clock", "", "show the clock", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showClock, true); }},
    {"no-clock", "", "no clock", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showClock, false); }},
    {"time", "HH:MM:SS", "the time the clock shows in rendered frames", false,
     [](RunOptions& o, std::string_view v) { return parseTimeOfDay(v, o.time); }, "00:00:00 to 23:59:59",
     true},
    {"max-fps", "N", "at most N frames a second (default 30; 0: no limit)", false,
     [](RunOptions& o, std::string_view v) { return parseSettingNumber("MaxFPS", v, o.maxFps); }},
    {"time-format", "12|24", "the clock counts 12 or 24 hours", false,
     [](RunOptions& o, std::string_view v) { return (o.twelveHourClock = parseTimeFormat(v)).has_value(); },
     "12 or 24"},
    {"set", "NAME=VALUE...", "save settings, all or none, then end", false,
     [](RunOptions& o, std::string_view v) {
         if (v.find('=') == std::string_view::npos)
             return false;
         o.settingsToSave.emplace_back(v);
         return true;
     },
     "NAME=VALUE"},
    {"camera", "X,Y,Z:X,Y,Z", "in rendered frames, hold the camera at the first point, looking at the second",
     false, [](RunOptions& o, std::string_view v) { return parseHeldCamera(v, o); },
     "two different points of three finite numbers each", true},
    {"music", "", "play the music", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.music, true); }},
    {"no-music", "", "no music", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.music, false); }},
    {"multisample", "", "smooth edges with several samples a pixel", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.multisample, true); }},
    {"no-multisample", "", "no smoothing of edges", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.multisample, false); }},
};

const LongOption* findLongOption(std::string_view name) {
    for (const LongOption& option : longOptions)
        if (option.name == name)
            return &option;
    return nullptr;
}

// The values an option takes, for the message that refuses another: a stored number's are its setting's.
std::string expectedValues(const LongOption& option) {
    if (!option.expected.empty())
        return std::string(option.expected);
    for (const SettingSpec& setting : settingSchema())
        if (setting.runOption == option.name && setting.number)
            return rangeText(setting);
    return std::string(option.valueName);
}

// A switch of the screen-saver host: '-' or '/', then s, t, c or p in either case; "c" and "p" may carry
// their window number joined on ("/c:1234", "-p1234").
bool isHostSwitch(std::string_view word) {
    if (word.size() < 2 || (word[0] != '-' && word[0] != '/'))
        return false;
    const char letter = static_cast<char>(word[1] | 0x20);
    std::string_view rest = word.substr(2);
    if (letter == 's' || letter == 't')
        return rest.empty();
    if (letter != 'c' && letter != 'p')
        return false;
    if (rest.starts_with(':'))
        rest.remove_prefix(1);
    return std::all_of(rest.begin(), rest.end(), isDigit);
}

// The window number of "-c" or "-p", joined on or the next word: decimal digits (as Windows hands it over and
// xwininfo -int prints it) that fit 32 bits. Anything else would be read as some other window, or none.
bool isWindowNumber(std::string_view text) {
    std::uint32_t number = 0;
    return parseNumber(text, number) && std::all_of(text.begin(), text.end(), isDigit);
}

bool takesWindowNumber(std::string_view hostSwitch) {
    const char letter = static_cast<char>(hostSwitch[1] | 0x20);
    return letter == 'c' || letter == 'p';
}

// Why a place for the show's archive cannot be one, or nothing when it may be. Only a regular file or a
// folder (an unpacked show) can: a named pipe would block the run until something wrote to it, a device is
// no archive.
std::optional<std::string> notAnArchiveFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status) || fs::is_regular_file(status) || fs::is_directory(status))
        return std::nullopt; // a missing file is said where the archive is opened
    const char* kind = fs::is_fifo(status)                                          ? "a named pipe"
                       : fs::is_socket(status)                                      ? "a socket"
                       : fs::is_block_file(status) || fs::is_character_file(status) ? "a device"
                                                                                    : "not a regular file";
    return "--data " + printableText(path) + ": " + kind + ", not the show's archive file";
}

// Why a word that is neither an option nor a switch is refused, with what it most likely meant.
std::string notAnOption(std::string_view word) {
    std::string error = "\"" + printableText(word) + "\" is not an option";
    if (findLongOption(word) || word == "help" || word == "version")
        error += " (did you mean --" + std::string(word) + "?)";
    else if (word.find('=') != std::string_view::npos)
        error += " (settings are saved with --set NAME=VALUE)";
    else if (word.find('/') != std::string_view::npos || word.ends_with(".sdd"))
        error += " (a show's archive is given with --data FILE)";
    return error;
}

} // namespace

std::optional<std::uint64_t> parseWindowId(std::string_view text) {
    // The X protocol keeps the top three bits of every resource id clear: a larger number would be cut to
    // some other window on the way to the server.
    constexpr std::uint64_t largestXid = 0x1FFFFFFF;
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t id = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || id == 0 || id > largestXid)
        return std::nullopt;
    return id;
}

RunMode parseCommandLine(std::string_view text, std::uint32_t& parentWindow) {
    parentWindow = 0;
    std::size_t i = skipProgramName(text);
    while (i < text.size() && text[i] != '/' && text[i] != '-')
        ++i;
    if (i == text.size())
        return RunMode::Config;
    char letter = i + 1 < text.size() ? text[i + 1] : '\0';
    switch (letter) {
    case 'C':
    case 'c':
        parentWindow = windowNumberAfter(text, i + 2);
        return RunMode::Config;
    case 'P':
    case 'p':
        parentWindow = windowNumberAfter(text, i + 2);
        return RunMode::Preview;
    case 'T':
    case 't':
        return RunMode::Test;
    default:
        return RunMode::Saver;
    }
}

ArgumentsResult parseArguments(const std::vector<std::string_view>& args, SaverApplication& app,
                               std::string& error) {
    std::string switches = "heliox";
    bool displayChosen = false;
    bool windowNumberNext = false; // the previous word was "-c" or "-p" without its number
    bool pairsNext = false;        // the previous words were --set and its pairs: "--set A=1 B=2" sets both
    const LongOption* renderOption = nullptr; // an option that changes rendered frames only
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        const bool numberExpected = std::exchange(windowNumberNext, false);
        const bool pairExpected = std::exchange(pairsNext, false);
        if (arg == "--help" || arg == "-help" || arg == "-h")
            return ArgumentsResult::help;
        if (arg == "--version")
            return ArgumentsResult::version;
        bool doubleDash = arg.starts_with("--");
        std::string_view body = arg.substr(doubleDash ? 2 : 1);
        std::string_view name = body.substr(0, body.find('='));
        const LongOption* option = arg.starts_with('-') ? findLongOption(name) : nullptr;
        if (!option) {
            if (doubleDash || (arg.starts_with('-') && !isHostSwitch(arg))) {
                error = "unknown option " + printableText(arg);
                return ArgumentsResult::usageError;
            }
            if (isHostSwitch(arg) && takesWindowNumber(arg)) {
                std::string_view joined = arg.substr(2);
                if (joined.starts_with(':'))
                    joined.remove_prefix(1);
                windowNumberNext = joined.empty();
                if (!joined.empty() && !isWindowNumber(joined)) {
                    error = std::string(arg) + ": the window number does not fit 32 bits";
                    return ArgumentsResult::usageError;
                }
            } else if (numberExpected && !arg.starts_with('/')) {
                if (!isWindowNumber(arg)) {
                    error = std::string(args[i - 1]) + " " + printableText(arg) +
                            ": not a window number (decimal digits that fit 32 bits, as xwininfo -int prints "
                            "it)";
                    return ArgumentsResult::usageError;
                }
            } else if (pairExpected && !arg.starts_with('/') && arg.find('=') != std::string_view::npos) {
                app.options.settingsToSave.emplace_back(arg);
                pairsNext = true;
                continue;
            } else if (!isHostSwitch(arg)) {
                // Linux programs take no bare words here: ignored, "help" or a file's name would run the show
                // and take the screen.
                error = notAnOption(arg);
                return ArgumentsResult::usageError;
            }
            switches += ' ';
            switches += arg;
            continue;
        }
        std::string_view value;
        if (name.size() < body.size()) {
            value = body.substr(name.size() + 1);
            if (option->valueName.empty()) {
                error = "--" + printableText(name) + " takes no value";
                return ArgumentsResult::usageError;
            }
        } else if (!option->valueName.empty()) {
            if (i + 1 == args.size()) {
                error = "--" + std::string(name) + " needs " + std::string(option->valueName);
                return ArgumentsResult::usageError;
            }
            value = args[++i];
        }
        if (!option->apply(app.options, value)) {
            error = "--" + std::string(name) + ": bad value \"" + printableText(value) + "\" (expected " +
                    expectedValues(*option) + ")";
            return ArgumentsResult::usageError;
        }
        displayChosen = displayChosen || option->choosesDisplay;
        pairsNext = option->name == "set";
        if (option->rendersOnly)
            renderOption = option;
    }

    if (renderOption && app.options.renderDir.empty()) {
        error = "--" + std::string(renderOption->name) + " is for rendered frames: it needs --render DIR";
        return ArgumentsResult::usageError;
    }

    if (const std::optional<std::string> notAFile = notAnArchiveFile(app.options.dataPath)) {
        error = *notAFile;
        return ArgumentsResult::usageError;
    }
    app.mode = parseCommandLine(switches, app.parentWindow);
    app.switchGiven = switches.find_first_of("/-") != std::string::npos;
    if (displayChosen) {
        if (app.switchGiven && (app.mode == RunMode::Config || app.mode == RunMode::Preview)) {
            error = "the settings and the preview cannot be combined with --window, --root, --window-id or "
                    "--render";
            return ArgumentsResult::usageError;
        }
        if (app.mode == RunMode::Config)
            app.mode = RunMode::Saver;
    }
    if (app.mode == RunMode::Preview && app.parentWindow == 0) {
        // A preview without its window has nowhere to go (the Windows saver's "Cannot creat window!").
        error = "-p needs the number of the window to draw the preview in (as xwininfo -int prints it)";
        return ArgumentsResult::usageError;
    }
    return ArgumentsResult::run;
}

std::string versionText() {
    return std::string("heliox ") + HELIOX_VERSION + "\n";
}

namespace {

// One row of the help: the option as it is written, and what it does.
struct HelpRow {
    std::string usage;
    std::string_view help;
};

// The rows as two columns that line up, the second wrapped at word boundaries so that no line passes 80
// columns, the width of a terminal that nobody has widened.
std::string helpTable(const std::vector<HelpRow>& rows) {
    constexpr std::size_t width = 80;
    std::size_t column = 0;
    for (const HelpRow& row : rows)
        column = std::max(column, row.usage.size() + 4);
    std::string text;
    for (const HelpRow& row : rows) {
        std::string line = "  " + row.usage;
        std::string_view words = row.help;
        while (!words.empty()) {
            line.resize(column, ' ');
            std::size_t take = words.size();
            if (column + take > width) {
                const std::size_t blank = words.rfind(' ', width - column);
                take = blank == std::string_view::npos || blank == 0 ? words.find(' ') : blank;
                take = std::min(take, words.size());
            }
            line += words.substr(0, take);
            words.remove_prefix(take);
            while (words.starts_with(' '))
                words.remove_prefix(1);
            text += line + "\n";
            line.clear();
        }
        if (!line.empty())
            text += line + "\n";
    }
    return text;
}

} // namespace

std::string usageText() {
    std::vector<HelpRow> rows = {
        {"-s, -t", "run the show full screen (the default)"},
        {"-c", "print the settings and how to change them"},
        {"-p WINDOW", "the preview picture in the X window WINDOW (decimal id)"},
    };
    for (const LongOption& option : longOptions) {
        std::string usage = (option.name.size() == 1 ? "-" : "--") + std::string(option.name);
        if (!option.valueName.empty())
            usage += " " + std::string(option.valueName);
        rows.push_back({usage, option.help});
    }
    rows.push_back({"--help, -h", "print this help and end"});
    rows.push_back({"--version", "print the version and end"});
    return versionText() + "usage: heliox [-s | -t | -c | -p WINDOW] [options]\n" + helpTable(rows);
}
