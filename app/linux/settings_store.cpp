// The Linux store of the settings record: the settings file in the user's configuration folder.
#include "app/settings_store.h"
#include "app/linux/settings_file.h"

#include <cstdlib>
#include <iostream>

#include <pwd.h>
#include <unistd.h>

std::string settingsFilePath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return std::string(configHome) + "/heliox/heliox.conf";
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !home[0])
        return {};
    return std::string(home) + "/.config/heliox/heliox.conf";
}

namespace {

// The settings as the file gave them: a save writes only what the process changed since, over what the file
// holds by then.
Settings loaded;

} // namespace

void loadSettings() {
    settings = Settings{};
    std::string path = settingsFilePath();
    if (!path.empty())
        readSettingsFile(path, settings, std::cerr);
    loaded = settings;
}

bool saveSettings() {
    std::string path = settingsFilePath();
    std::string error = "no home folder to keep the settings in";
    if (!path.empty() && writeSettingsFile(path, loaded, settings, error)) {
        loaded = settings;
        return true;
    }
    std::cerr << "heliox: settings not saved: " << error << "\n";
    return false;
}
