#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the program was asked to run. The values are those the screen-saver host's switches have always meant.
enum class RunMode : std::int32_t {
    Config = 0,  // "/c", or no switch at all: the settings
    Preview = 1, // "/p N": the small picture inside the host's preview area
    Saver = 2,   // "/s" and any other switch letter: the show
    Test = 3,    // "/t": the show, exactly as Saver
};

// Reads a whole command line, program name included, with the screen-saver host's switch rules: the program
// name is skipped (a quoted one whole, an unquoted one up to its first blank), then the first '/' or '-'
// anywhere starts the switch. "/c" and "/p" take the first run of digits after them as the window number; a
// number that does not fit 32 bits names no window and gives 0. Only the first switch counts.
RunMode parseCommandLine(std::string_view text, std::uint32_t& parentWindow);

// Choices made with long options for one run. They never change the stored settings.
struct RunOptions {
    bool window = false;                   // an ordinary window instead of full screen
    bool root = false;                     // draw into the root window (XScreenSaver)
    std::optional<std::uint64_t> windowId; // draw into this existing window (XScreenSaver)
    std::string dataPath;                  // the archive or show folder; empty means the installed one
    bool check = false;                    // check the show for faults instead of showing it
    std::string renderDir;                 // render off-screen into this folder instead of showing
    std::optional<unsigned> width, height; // the off-screen picture's size
    std::optional<std::uint32_t> seed;     // a fixed seed makes the scene reproducible
    std::optional<double> frameStep;       // fixed seconds per frame instead of measured time
    std::optional<unsigned> frames;        // how many frames to render
    std::optional<unsigned> speed, volume; // 0 to 100, as in the settings
    std::optional<bool> showFps, showClock, music, multisample;
    std::optional<std::string> time;         // the clock's time, HH:MM:SS, for reproducible renders
    std::optional<unsigned> maxFps;          // frames a second at most; 0 lifts the cap
    std::optional<bool> twelveHourClock;     // --time-format 12 or 24
    std::vector<std::string> settingsToSave; // --set NAME=VALUE..., in the order given
    // A camera held still at the first point, looking at the second (x, y, z each), instead of the travelling
    // one: close-ups of any part of the show in a render.
    std::optional<std::array<float, 6>> heldCamera;
};

// The application object: what to run and with which window, filled from the command line.
struct SaverApplication {
    RunMode mode = RunMode::Config;
    std::uint32_t parentWindow = 0; // the window number after "/c" or "/p"; 0 when there is none
    bool switchGiven = false;       // a "/" or "-" switch was given; without one the mode is Config
    RunOptions options;
};

enum class ArgumentsResult { run, help, version, usageError };

// Reads the program's arguments (argv without the program name). Long options ("--window", "--data PATH",
// "--seed=7"; one dash is accepted too, as X programs are often called) are taken out first; what remains
// goes through parseCommandLine. The only other words are the screen-saver host's switches, "-s", "-t", "-c"
// and "-p" (or with '/', any case, "-c" and "-p" with their window number joined on or following), and the
// NAME=VALUE pairs right after "--set": anything else, "-version", "help" or a file's name, is a usage error
// rather than a show that takes the screen, as are "-p" without a window and the options for rendered frames
// (--size, --time, --camera) without --render. Options that choose where to draw imply the show. On a usage
// error, `error` says why in one line.
ArgumentsResult parseArguments(const std::vector<std::string_view>& args, SaverApplication& app,
                               std::string& error);

// A window id as XScreenSaver hands it over, in hexadecimal ("0x1a00007"), or as people type it, in decimal.
// Nothing for text that is not a whole number or names no window (0).
std::optional<std::uint64_t> parseWindowId(std::string_view text);

// The program's name and version, and one line per option, for --help and for usage errors.
std::string usageText();
std::string versionText();
