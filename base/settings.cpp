#include "base/settings.h"

namespace {

constexpr unsigned everywhere = inSettingsFile | inRegistry;

constexpr SettingSpec flagSetting(std::string_view name, bool Settings::*flag, bool byDefault,
                                  unsigned places, std::string_view runOption = {}) {
    return {name, flag, nullptr, 0, 1, byDefault ? 1u : 0u, places, runOption};
}

constexpr SettingSpec numberSetting(std::string_view name, std::uint32_t Settings::*number,
                                    std::uint32_t lowest, std::uint32_t highest, std::uint32_t byDefault,
                                    unsigned places, std::string_view runOption = {}) {
    return {name, nullptr, number, lowest, highest, byDefault, places, runOption};
}

// ShowFlame: older readers of the registry and of the file expect to find it; the show has no such option.
constexpr SettingSpec keptForOlderReaders(std::string_view name) {
    return {name, nullptr, nullptr, 0, 1, 0, everywhere, {}};
}

// The order is the one in which the registry and the file have always been written. Width and Height reach
// the largest size a window may have; MaxFPS reaches far past any display's rate.
constexpr SettingSpec schema[] = {
    flagSetting("ShowClock", &Settings::showClock, true, everywhere | restoredByDialog, "clock"),
    flagSetting("TimeFormat", &Settings::timeFormat, false, everywhere | restoredByDialog, "time-format"),
    flagSetting("EnableMusic", &Settings::enableMusic, true, everywhere | restoredByDialog, "music"),
    flagSetting("UseDesktop", &Settings::useDesktop, true, everywhere | restoredByDialog),
    keptForOlderReaders("ShowFlame"),
    flagSetting("DefGamma", &Settings::defGamma, true, everywhere | restoredByDialog),
    numberSetting("Width", &Settings::width, 1, 32767, 800, everywhere),
    numberSetting("Height", &Settings::height, 1, 32767, 600, everywhere),
    numberSetting("Depth", &Settings::depth, 8, 32, 32, everywhere),
    numberSetting("Volume", &Settings::volume, 0, 100, 100, everywhere | restoredByDialog, "volume"),
    numberSetting("Speed", &Settings::speed, 0, 100, 50, everywhere | restoredByDialog, "speed"),
    numberSetting("Gamma", &Settings::gamma, 0, 100, neutralGamma, everywhere | restoredByDialog),
    flagSetting("VSync", &Settings::vSync, false, everywhere | restoredByDialog),
    flagSetting("MouseExit", &Settings::mouseExit, false, everywhere | restoredByDialog),
    flagSetting("ShowFPS", &Settings::showFps, false, everywhere | restoredByDialog, "fps"),
    numberSetting("MaxFPS", &Settings::maxFps, 0, 1000, 30, inSettingsFile, "max-fps"),
    flagSetting("Multisample", &Settings::multisample, true, everywhere, "multisample"),
};

} // namespace

Settings settings;

Settings::Settings() {
    restoreDefaultSettings(*this, everywhere);
}

std::span<const SettingSpec> settingSchema() {
    return schema;
}

const SettingSpec* findSetting(std::string_view name) {
    for (const SettingSpec& setting : schema)
        if (setting.name == name)
            return &setting;
    return nullptr;
}

std::uint32_t settingValue(const Settings& s, const SettingSpec& setting) {
    if (setting.flag)
        return s.*setting.flag ? 1 : 0;
    return setting.number ? s.*setting.number : 0;
}

bool takeSettingValue(Settings& s, const SettingSpec& setting, std::uint32_t value) {
    if (value < setting.lowest || value > setting.highest)
        return false;
    if (setting.flag)
        s.*setting.flag = value != 0;
    else if (setting.number)
        s.*setting.number = value;
    return true;
}

std::string rangeText(const SettingSpec& setting) {
    return std::to_string(setting.lowest) + " to " + std::to_string(setting.highest);
}

void applyDefGamma(Settings& s) {
    if (s.defGamma)
        s.gamma = neutralGamma;
}

void restoreDefaultSettings(Settings& s, unsigned places) {
    for (const SettingSpec& setting : schema)
        if (setting.places & places)
            takeSettingValue(s, setting, setting.byDefault);
}
