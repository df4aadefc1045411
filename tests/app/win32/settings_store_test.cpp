#include "app/win32/settings_store.h"

#include "app/gl_setup.h"
#include "tests/unusual_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each test works in a key of its own beside the program's, so the user's settings are never touched and
// tests may run side by side.
class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath = std::string("Software\\Corvane\\HelioxTest-") + std::to_string(GetCurrentProcessId()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str()); }

    void setRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void setDword(const char* name, DWORD value) { setRaw(name, REG_DWORD, &value, sizeof value); }
    void setText(const char* name, const std::string& text) {
        setRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    // The stored value's type and number; type 0 when it is missing.
    std::pair<DWORD, DWORD> stored(const char* name) {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS)
            return {0, 0};
        return {type, value};
    }

    Settings load() {
        Settings s;
        EXPECT_TRUE(readRegistrySettings(HKEY_CURRENT_USER, keyPath.c_str(), s));
        return s;
    }

    std::string keyPath;
};

TEST_F(RegistrySettings, SaveThenLoadGivesBackEveryFieldAndAddsShowFlameButNeverPath) {
    Settings saved = unusualSettings(inRegistry);
    saved.path = "C:\\Somewhere";
    ASSERT_TRUE(writeRegistrySettings(HKEY_CURRENT_USER, keyPath.c_str(), saved));

    Settings loaded = load();
    EXPECT_EQ(loaded.path, "");
    loaded.path = saved.path;
    EXPECT_EQ(loaded, saved);

    EXPECT_EQ(stored("ShowFlame"), std::make_pair(DWORD(REG_DWORD), DWORD(0)));
    EXPECT_EQ(stored("Path").first, 0u);
    // Booleans are stored as 0 or 1, numbers as they are.
    EXPECT_EQ(stored("ShowFPS"), std::make_pair(DWORD(REG_DWORD), DWORD(1)));
    EXPECT_EQ(stored("TimeFormat"), std::make_pair(DWORD(REG_DWORD), DWORD(1)));
    EXPECT_EQ(stored("ShowClock"), std::make_pair(DWORD(REG_DWORD), DWORD(0)));
    EXPECT_EQ(stored("Height"), std::make_pair(DWORD(REG_DWORD), DWORD(saved.height)));
}

TEST_F(RegistrySettings, NonzeroFlagsLoadAsSetAndSaveAsOne) {
    setDword("VSync", 0xFFFFFFFF);
    setDword("MouseExit", 2);
    const Settings loaded = load();
    EXPECT_TRUE(loaded.vSync);
    EXPECT_TRUE(loaded.mouseExit);
    ASSERT_TRUE(writeRegistrySettings(HKEY_CURRENT_USER, keyPath.c_str(), loaded));
    EXPECT_EQ(stored("VSync").second, 1u);
    EXPECT_EQ(stored("MouseExit").second, 1u);
}

TEST_F(RegistrySettings, MissingValuesKeepTheDefaultsRatherThanTheValueReadBefore) {
    setDword("Width", 1600);
    Settings expected;
    expected.width = 1600;
    EXPECT_EQ(load(), expected);
}

TEST_F(RegistrySettings, AKeyThatDoesNotExistYetIsCreatedAndGivesTheDefaults) {
    EXPECT_EQ(load(), Settings{});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistrySettings, DefaultGammaForcesGammaToFiftyInMemoryOnly) {
    setDword("DefGamma", 1);
    setDword("Gamma", 80);
    EXPECT_EQ(load().gamma, 50u);
    EXPECT_EQ(stored("Gamma").second, 80u);

    setDword("DefGamma", 0);
    EXPECT_EQ(load().gamma, 80u);
}

// The settings file's rule: a number outside its range is not taken, and the setting keeps its default; a
// Gamma of 150 would otherwise drive the gamma ramp dark.
TEST_F(RegistrySettings, NumbersOutsideTheirRangesKeepTheirDefaultsAndTheScreenStaysLit) {
    Settings expected;
    expected.defGamma = false;
    setDword("DefGamma", 0);
    for (const SettingSpec& setting : settingSchema()) {
        if (!(setting.places & inRegistry) || !setting.number)
            continue;
        setDword(std::string(setting.name).c_str(), setting.highest + 1);
        EXPECT_EQ(load(), expected) << setting.name << " above its range";
        if (setting.lowest > 0) {
            setDword(std::string(setting.name).c_str(), setting.lowest - 1);
            EXPECT_EQ(load(), expected) << setting.name << " below its range";
        }
        setDword(std::string(setting.name).c_str(), setting.byDefault);
    }
    // The largest number a value holds leaves the display's ramp as it is.
    setDword("Gamma", 0xFFFFFFFF);
    const float exponent = gammaExponent(load());
    const auto ramp = gammaRamp(exponent, exponent, exponent);
    EXPECT_EQ(ramp[128], 128 * 256);
    EXPECT_GT(ramp[255], 65000);
}

TEST_F(RegistrySettings, ValuesOfAnotherTypeOrSizeKeepTheDefaults) {
    setText("Volume", "30");
    const std::uint64_t wide = 1920;
    setRaw("Width", REG_QWORD, &wide, sizeof wide);
    const unsigned char shortValue[2] = {1, 1};
    setRaw("Speed", REG_BINARY, shortValue, sizeof shortValue);
    setDword("Path", 5);
    const Settings loaded = load();
    EXPECT_EQ(loaded.volume, Settings{}.volume);
    EXPECT_EQ(loaded.width, Settings{}.width);
    EXPECT_EQ(loaded.speed, Settings{}.speed);
    EXPECT_EQ(loaded.path, "");
}

TEST_F(RegistrySettings, PathOf254CharactersLoadsWholeAndALongerOneIsNotTaken) {
    const std::string longest = "C:\\" + std::string(251, 'p');
    setText("Path", longest);
    EXPECT_EQ(load().path, longest);

    setText("Path", longest + "q");
    EXPECT_EQ(load().path, "");
}

TEST_F(RegistrySettings, PathStoredWithoutTerminatorEndsWhereTheDataEnds) {
    const char text[] = {'C', ':', '\\', 'x'};
    setRaw("Path", REG_SZ, text, sizeof text);
    EXPECT_EQ(load().path, "C:\\x");
}

// An expandable Path names the folder its variables expand to, as Windows programs read such values.
TEST_F(RegistrySettings, PathStoredForExpansionNamesTheExpandedFolder) {
    ASSERT_TRUE(SetEnvironmentVariableA("HELIOX_TEST_PROGRAMS", "C:\\Program Files"));
    const std::string stored = "%HELIOX_TEST_PROGRAMS%\\Heliox";
    setRaw("Path", REG_EXPAND_SZ, stored.c_str(), static_cast<DWORD>(stored.size() + 1));
    EXPECT_EQ(load().path, "C:\\Program Files\\Heliox");
    SetEnvironmentVariableA("HELIOX_TEST_PROGRAMS", nullptr);
}

} // namespace
