#include "app/win32/settings_store.h"

#include "app/gl_setup.h"

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

Settings unusualSettings() {
    Settings s;
    s.showClock = false;
    s.timeFormat = true;
    s.enableMusic = false;
    s.useDesktop = false;
    s.defGamma = false;
    s.width = 1280;
    s.height = 1024;
    s.depth = 16;
    s.volume = 7;
    s.gamma = 93;
    s.speed = 0;
    s.showFps = true;
    s.vSync = true;
    s.mouseExit = true;
    s.multisample = false;
    return s;
}

TEST_F(RegistrySettings, SaveThenLoadGivesBackEveryFieldAndAddsShowFlameButNeverPath) {
    Settings saved = unusualSettings();
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
    EXPECT_EQ(stored("Height"), std::make_pair(DWORD(REG_DWORD), DWORD(1024)));
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

TEST_F(RegistrySettings, NumbersOutsideTheirRangesAreTakenAsTheNearerEndAndTheScreenStaysLit) {
    setDword("DefGamma", 0);
    setDword("Gamma", 150);
    setDword("Speed", 0xFFFFFFFF);
    setDword("Volume", 101);
    setDword("Width", 0);
    setDword("Height", 40000);
    setDword("Depth", 64);
    Settings loaded = load();
    EXPECT_EQ(loaded.gamma, 100u);
    EXPECT_EQ(loaded.speed, 100u);
    EXPECT_EQ(loaded.volume, 100u);
    EXPECT_EQ(loaded.width, 1u);
    EXPECT_EQ(loaded.height, 32767u);
    EXPECT_EQ(loaded.depth, 32u);
    // The brightest setting brightens: the ramp the display is given rises to full white.
    const float exponent = gammaExponent(loaded);
    const auto ramp = gammaRamp(exponent, exponent, exponent);
    EXPECT_GT(ramp[128], 128 * 256);
    EXPECT_GT(ramp[255], 65000);

    setDword("Depth", 1);
    setDword("Width", 32767);
    loaded = load();
    EXPECT_EQ(loaded.depth, 8u);
    EXPECT_EQ(loaded.width, 32767u);
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
