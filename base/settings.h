#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The user's options. Every field is named after the value that stores it ("ShowClock", "Width", ...), in the
// Windows registry and in the Linux settings file alike. Ranges and defaults are not written here: each value
// but Path has one line in the settings schema below, which every store, the dialog and the command line
// read.
struct Settings {
    Settings(); // every value at its default from the schema, Path empty

    bool showClock{};
    bool timeFormat{}; // the clock counts 12 hours when set, 24 hours when clear
    bool enableMusic{};
    bool useDesktop{};     // run in the desktop's current mode rather than Width x Height x Depth
    bool defGamma{};       // leave the display's gamma ramp alone; forces Gamma to neutral (applyDefGamma)
    std::uint32_t width{}; // the desktop's once its mode is known, with UseDesktop on Windows
    std::uint32_t height{};
    std::uint32_t depth{};
    std::uint32_t volume{}; // 0 is silence; the Windows dialog's slider starts at 1
    std::uint32_t gamma{};  // brightness; neutralGamma leaves the display as it is
    std::uint32_t speed{};
    bool showFps{};
    bool vSync{};
    bool mouseExit{};
    // "Multisample": smooth the edges of bodies with several samples a pixel where the display offers them
    // cheaply (a graphics card; a software rasterizer pays for every sample) and in rendered frames.
    bool multisample{};
    // Linux only ("MaxFPS"): frames a second at most, so the show leaves the processor to others; 0 draws as
    // fast as the machine can. The Windows saver keeps its loop without rest.
    std::uint32_t maxFps{};
    std::string path; // the installation folder; at most 254 characters; never written back

    bool operator==(const Settings&) const = default;
};

// The process-wide record, loaded once at start-up and written back only from the settings dialog.
extern Settings settings;

// The Gamma that leaves the display's ramp as it is, which DefGamma forces.
inline constexpr std::uint32_t neutralGamma = 50;

// Where a value is kept, and who puts it back to its default.
enum SettingPlace : unsigned {
    inSettingsFile = 1u << 0, // Linux: heliox.conf
    inRegistry = 1u << 1,     // Windows: the user's key
    // Windows: the dialog's Restore Defaults. Not the display mode: Restore Defaults turns UseDesktop on, and
    // the user's own Width, Height and Depth stay stored for the day it is turned off.
    restoredByDialog = 1u << 2,
};

// One stored value. A switch is a number from 0 to 1; `flag` or `number` is the field that holds the value,
// and neither is set for a value that is only kept for older readers (always 0, never read).
struct SettingSpec {
    std::string_view name;
    bool Settings::*flag;
    std::uint32_t Settings::*number;
    std::uint32_t lowest, highest;
    std::uint32_t byDefault;
    unsigned places;            // SettingPlace bits
    std::string_view runOption; // the long option that sets it for one run ("speed" for --speed), or empty
};

// Every stored value, in the order in which the stores write them.
std::span<const SettingSpec> settingSchema();

// The schema's line for `name` (exact case), or null.
const SettingSpec* findSetting(std::string_view name);

// The value as the stores hold it: a switch as 0 or 1, a value kept for older readers as 0.
std::uint32_t settingValue(const Settings& s, const SettingSpec& setting);

// The one rule for a stored value out of range, in every store: it is not taken, and the setting keeps what
// it held (at a load, its default). True when `value` is in range, and then taken; a value kept only for
// older readers is never stored.
bool takeSettingValue(Settings& s, const SettingSpec& setting, std::uint32_t value);

// "0 to 100": the range as messages state it.
std::string rangeText(const SettingSpec& setting);

// DefGamma forces Gamma to neutral: every reader applies it after taking the stored values.
void applyDefGamma(Settings& s);

// Puts back the default of every value kept in any of `places` (SettingPlace bits).
void restoreDefaultSettings(Settings& s, unsigned places);
