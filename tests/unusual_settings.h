#pragma once

#include "base/settings.h"

// Every value a store keeps in `places` (SettingPlace bits) away from its default, from the settings schema:
// a switch turned over, a number at the end of its range farthest from the default. A round trip through a
// store that gives this back has kept every value, a setting added later among them.
inline Settings unusualSettings(unsigned places) {
    Settings s;
    for (const SettingSpec& setting : settingSchema()) {
        if (!(setting.places & places))
            continue;
        const bool nearerTheTop = setting.highest - setting.byDefault < setting.byDefault - setting.lowest;
        takeSettingValue(s, setting, nearerTheTop ? setting.lowest : setting.highest);
    }
    return s;
}
