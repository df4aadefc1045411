#include "app/win32/settings_store.h"
#include "app/settings_store.h"

#include <string>

namespace {

// Closes the key on every way out of a read or a write.
class OpenKey {
public:
    OpenKey(HKEY root, const char* path, REGSAM access) {
        if (RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool readDword(HKEY key, const char* name, DWORD& value) {
    DWORD type = 0;
    DWORD stored = 0;
    DWORD size = sizeof stored;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof stored)
        return false;
    value = stored;
    return true;
}

// Path is read with room for 254 characters and the terminator; a longer value does not fit and is not
// taken. The stored text need not end with a terminator, so one is added. A REG_EXPAND_SZ value
// ("%ProgramFiles%\Heliox", as tools and hand edits write it) names its folder once its variables are
// expanded, as every Windows program reads such a value; one that expands to more than MAX_PATH is no folder.
void readPath(HKEY key, std::string& path) {
    char text[256] = {};
    DWORD type = 0;
    DWORD size = 255;
    if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    text[size < 255 ? size : 255] = '\0';
    if (type == REG_SZ) {
        path = text;
        return;
    }
    char expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
    if (length > 0 && length <= sizeof expanded)
        path = expanded;
}

bool writeDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

} // namespace

bool readRegistrySettings(HKEY root, const char* keyPath, Settings& s) {
    OpenKey key(root, keyPath, KEY_READ);
    if (!key.get())
        return false;
    for (const SettingSpec& setting : settingSchema()) {
        DWORD value = 0;
        if (!(setting.places & inRegistry) || !readDword(key.get(), std::string(setting.name).c_str(), value))
            continue;
        // A switch is set by any number but 0, as Windows reads a BOOL; a number outside its range keeps the
        // default, as in the settings file: the key may have been edited by hand or by another program, and
        // the readers of the record count on the range (a Gamma above 100 would drive the gamma ramp past 16
        // bits, a black screen).
        takeSettingValue(s, setting, setting.flag ? value != 0 : value);
    }
    readPath(key.get(), s.path);
    applyDefGamma(s);
    return true;
}

bool writeRegistrySettings(HKEY root, const char* keyPath, const Settings& s) {
    OpenKey key(root, keyPath, KEY_WRITE);
    if (!key.get())
        return false;
    bool written = true;
    for (const SettingSpec& setting : settingSchema())
        if (setting.places & inRegistry)
            written =
                writeDword(key.get(), std::string(setting.name).c_str(), settingValue(s, setting)) && written;
    return written;
}

std::string readRegistryPath(HKEY root, const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string path;
    readPath(key, path);
    RegCloseKey(key);
    return path;
}

// The process-wide record lives in the user's own key.
void loadSettings() {
    settings = Settings{};
    readRegistrySettings(HKEY_CURRENT_USER, settingsKeyPath, settings);
}

bool saveSettings() {
    return writeRegistrySettings(HKEY_CURRENT_USER, settingsKeyPath, settings);
}
