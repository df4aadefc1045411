#include "app/command_line.h"

#include "base/printable_text.h"

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

bool parsePercent(std::string_view s, std::optional<unsigned>& out) {
    unsigned v = 0;
    if (!parseNumber(s, v) || v > 100)
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
};

constexpr LongOption longOptions[] = {
    {"window", "", "show in an ordinary window", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.window); }},
    {"w", "", "the same as --window", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.window); }},
    {"root", "", "draw into the root window (XScreenSaver)", true,
     [](RunOptions& o, std::string_view) { return setFlag(o.root); }},
    {"window-id", "ID", "draw into the existing window ID (XScreenSaver)", true,
     [](RunOptions& o, std::string_view v) { return (o.windowId = parseWindowId(v)).has_value(); }},
    {"render", "DIR", "render frames off-screen into DIR as PNG files", true,
     [](RunOptions& o, std::string_view v) { return setText(o.renderDir, v); }},
    {"data", "PATH", "the show's archive or unpacked folder (default: the installed data.sdd)", false,
     [](RunOptions& o, std::string_view v) { return setText(o.dataPath, v); }},
    {"check", "", "check the show for faults, without a window, and exit (1 when it has any)", false,
     [](RunOptions& o, std::string_view) { return setFlag(o.check); }},
    {"size", "WxH", "size of rendered frames (default 800x600)", false,
     [](RunOptions& o, std::string_view v) { return parseSize(v, o); }},
    {"frames", "N", "how many frames to render, or to show before the show ends", false,
     [](RunOptions& o, std::string_view v) {
         unsigned n = 0;
         if (!parseNumber(v, n) || n == 0)
             return false;
         o.frames = n;
         return true;
     }},
    {"seed", "N", "seed of the random scene, for a reproducible run", false,
     [](RunOptions& o, std::string_view v) {
         std::uint32_t n = 0;
         if (!parseNumber(v, n))
             return false;
         o.seed = n;
         return true;
     }},
    {"dt", "S", "fixed seconds per frame instead of measured time", false,
     [](RunOptions& o, std::string_view v) {
         double s = 0;
         if (!parseNumber(v, s) || !(s > 0 && s <= 1))
             return false;
         o.frameStep = s;
         return true;
     }},
    {"speed", "0-100", "camera speed for this run", false,
     [](RunOptions& o, std::string_view v) { return parsePercent(v, o.speed); }},
    {"volume", "0-100", "music volume for this run", false,
     [](RunOptions& o, std::string_view v) { return parsePercent(v, o.volume); }},
    {"fps", "", "show the frame counter", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showFps, true); }},
    {"no-fps", "", "no frame counter", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showFps, false); }},
    {"clock", "", "show the clock", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showClock, true); }},
    {"no-clock", "", "no clock", false,
     [](RunOptions& o, std::string_view) { return setChoice(o.showClock, false); }},
    {"time", "HH:MM:SS", "the time the clock shows", false,
     [](RunOptions& o, std::string_view v) { return parseTimeOfDay(v, o.time); }},
    {"max-fps", "N", "draw at most N frames a second (default 30; 0: as fast as possible)", false,
     [](RunOptions& o, std::string_view v) {
         unsigned n = 0;
         if (!parseNumber(v, n) || n > 1000)
             return false;
         o.maxFps = n;
         return true;
     }},
    {"time-format", "12|24", "the clock counts 12 or 24 hours", false,
     [](RunOptions& o, std::string_view v) {
         if (v != "12" && v != "24")
             return false;
         o.twelveHourClock = v == "12";
         return true;
     }},
    {"set", "NAME=VALUE", "save a setting in the settings file (repeatable), then end", false,
     [](RunOptions& o, std::string_view v) {
         if (v.find('=') == std::string_view::npos)
             return false;
         o.settingsToSave.emplace_back(v);
         return true;
     }},
    {"camera", "X,Y,Z:X,Y,Z", "hold the camera at the first point, looking at the second", false,
     [](RunOptions& o, std::string_view v) { return parseHeldCamera(v, o); }},
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        const bool numberExpected = std::exchange(windowNumberNext, false);
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
            } else if (numberExpected && !arg.starts_with('-') && !arg.starts_with('/') &&
                       !isWindowNumber(arg)) {
                error = std::string(args[i - 1]) + " " + printableText(arg) +
                        ": not a window number (decimal digits that fit 32 bits, as xwininfo -int prints it)";
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
                    std::string(option->valueName) + ")";
            return ArgumentsResult::usageError;
        }
        displayChosen = displayChosen || option->choosesDisplay;
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
    return ArgumentsResult::run;
}

std::string versionText() {
    return std::string("heliox ") + HELIOX_VERSION + "\n";
}

std::string usageText() {
    std::string text = versionText() +
                       "usage: heliox [-s | -t | -c | -p WINDOW] [options]\n"
                       "  -s, -t            run the show full screen (the default from a screen-saver host)\n"
                       "  -c                the settings\n"
                       "  -p WINDOW         the preview picture inside WINDOW\n";
    for (const LongOption& option : longOptions) {
        std::string left = (option.name.size() == 1 ? "  -" : "  --") + std::string(option.name);
        if (!option.valueName.empty())
            left += " " + std::string(option.valueName);
        left.resize(std::max<std::size_t>(left.size() + 1, 20), ' ');
        text += left + std::string(option.help) + "\n";
    }
    return text;
}
