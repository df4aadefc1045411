// The pages a Linux user reads about the settings describe the settings the program has: the man page and the
// README name every value of the settings file and nothing else, and the XScreenSaver page offers exactly the
// settings that have an option for one run, with the defaults and within the ranges the program uses.
#include "base/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::filesystem::path sourceDir = HELIOX_SOURCE_DIR;

std::string readSource(const std::filesystem::path& relative) {
    std::ifstream in(sourceDir / relative);
    EXPECT_TRUE(in) << relative;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The part of `text` from the first line starting with `from` up to the next line starting with `to`.
std::string section(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t start = text.find("\n" + from);
    EXPECT_NE(start, std::string::npos) << from;
    if (start == std::string::npos)
        return {};
    const std::size_t end = text.find("\n" + to, start + 1);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// Every word in `text` that looks like a value name: a capital, then letters.
std::set<std::string> valueNames(const std::string& text) {
    static const std::regex name(R"(\b[A-Z][A-Za-z]+\b)");
    std::set<std::string> names;
    for (std::sregex_iterator i(text.begin(), text.end(), name), end; i != end; ++i)
        names.insert(i->str());
    return names;
}

std::set<std::string> schemaNames(bool (*wanted)(const SettingSpec&)) {
    std::set<std::string> names;
    for (const SettingSpec& setting : settingSchema())
        if (wanted(setting))
            names.insert(std::string(setting.name));
    return names;
}

bool inTheFile(const SettingSpec& setting) {
    return (setting.places & inSettingsFile) != 0;
}

TEST(SettingsDocuments, TheManPageAndTheReadmeNameEveryValueOfTheSettingsFile) {
    // The man page gives each value a paragraph, its names on the line after ".TP".
    const std::string manual = section(readSource("resources/heliox.6.in"), ".SH SETTINGS FILE", ".SH");
    std::string headings;
    for (std::size_t at = manual.find("\n.TP\n"); at != std::string::npos;
         at = manual.find("\n.TP\n", at + 1)) {
        const std::string heading = manual.substr(at + 5, manual.find('\n', at + 5) - at - 5);
        headings += heading.substr(heading.find(' ') + 1) + "\n"; // without its font macro, ".B" or ".BR"
    }
    EXPECT_EQ(valueNames(headings), schemaNames(inTheFile)) << headings;

    // The README lists them as code in its paragraph on the settings.
    const std::string readme = section(readSource("README.md"), "Settings live in", "\n");
    std::string quoted;
    static const std::regex code("`([A-Za-z]+)`");
    for (std::sregex_iterator i(readme.begin(), readme.end(), code), end; i != end; ++i)
        quoted += (*i)[1].str() + "\n";
    EXPECT_EQ(valueNames(quoted), schemaNames(inTheFile)) << readme;
}

TEST(SettingsDocuments, TheXScreenSaverPageOffersEverySettingWithARunOption) {
    const std::string page = readSource("resources/heliox.xml");
    // The options of the page's controls ("--speed %", "--no-clock", "--time-format 12"), each as the name
    // of the setting's run option; the <command> line is no control.
    static const std::regex control(R"(<(number|boolean|option)\b[^>]*>)");
    static const std::regex argument(R"(\barg(-set|-unset)?="--(no-)?([a-z-]+))");
    std::set<std::string> offered;
    for (std::sregex_iterator i(page.begin(), page.end(), control), end; i != end; ++i) {
        const std::string tag = i->str();
        std::smatch option;
        if (!std::regex_search(tag, option, argument))
            continue;
        const std::string name = option[3];
        offered.insert(name);
        const SettingSpec* setting = nullptr;
        for (const SettingSpec& candidate : settingSchema())
            if (candidate.runOption == name)
                setting = &candidate;
        if (!setting || (*i)[1] != "number")
            continue;
        // A slider starts at the setting's default and stays within its range.
        std::smatch low, high, byDefault;
        ASSERT_TRUE(std::regex_search(tag, low, std::regex(R"(\blow="(\d+)\")")) &&
                    std::regex_search(tag, high, std::regex(R"(\bhigh="(\d+)\")")) &&
                    std::regex_search(tag, byDefault, std::regex(R"(\bdefault="(\d+)\")")))
            << tag;
        EXPECT_EQ(std::stoul(byDefault[1]), setting->byDefault) << tag;
        EXPECT_GE(std::stoul(low[1]), setting->lowest) << tag;
        EXPECT_LE(std::stoul(high[1]), setting->highest) << tag;
    }
    std::set<std::string> withRunOption;
    for (const SettingSpec& setting : settingSchema())
        if (!setting.runOption.empty())
            withRunOption.insert(std::string(setting.runOption));
    EXPECT_EQ(offered, withRunOption);
}

} // namespace
