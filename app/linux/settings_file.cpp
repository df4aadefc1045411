#include "app/linux/settings_file.h"

#include "app/linux/file_replacement.h"
#include "app/linux/folder_lock.h"
#include "base/printable_text.h"
#include "base/time_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// The file holds the values the schema keeps in it, in the schema's order, and Path.
bool inFile(const SettingSpec& setting) {
    return (setting.places & inSettingsFile) != 0;
}

constexpr std::string_view pathName = "Path";
// No line of a settings file is near this long; a longer one is junk (or a file that is not the settings),
// and echoing it in a warning would flood the terminal.
constexpr std::size_t longestLine = 4096;
constexpr std::uintmax_t largestFile = std::uintmax_t{1} << 20;
constexpr std::size_t maxPathLength = 254;

const SettingSpec* findStoredValue(std::string_view name) {
    const SettingSpec* setting = findSetting(name);
    return setting && inFile(*setting) ? setting : nullptr;
}

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How many letters must be added, removed or changed to turn one name into the other, case aside.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t change = diagonal + (lowerCase(a[i - 1]) == lowerCase(b[j - 1]) ? 0 : 1);
            row[j] = std::min({change, above + 1, row[j - 1] + 1});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The value name a misspelt one most likely meant.
std::string_view nearestName(std::string_view name) {
    std::string_view best = pathName;
    std::size_t bestDistance = editDistance(name, pathName);
    for (const SettingSpec& value : settingSchema())
        if (const std::size_t d = editDistance(name, value.name); inFile(value) && d < bestDistance) {
            best = value.name;
            bestDistance = d;
        }
    return best;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool isComment(std::string_view line) {
    return line.empty() || line.front() == '#';
}

// Splits "Name=value"; false when the line has no '='.
bool splitLine(std::string_view line, std::string_view& name, std::string_view& value) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    name = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return true;
}

enum class NumberRead { ok, notANumber, tooLarge };

NumberRead parseNumber(std::string_view s, std::uint32_t& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || end != s.data() + s.size() ||
        (ec != std::errc() && ec != std::errc::result_out_of_range))
        return NumberRead::notANumber;
    return ec == std::errc::result_out_of_range ? NumberRead::tooLarge : NumberRead::ok;
}

// Applies one "Name=value" line; returns the reason when the line is skipped, empty when it was taken. The
// reason echoes the line's text made printable.
std::string applyLine(std::string_view name, std::string_view value, Settings& s) {
    if (name == pathName) {
        if (value.size() > maxPathLength)
            return "Path is longer than 254 characters";
        s.path = value;
        return {};
    }
    const SettingSpec* stored = findStoredValue(name);
    if (!stored)
        return "unknown setting \"" + printableText(name) + "\" (did you mean " +
               std::string(nearestName(name)) + "?)";
    if (stored->flag == &Settings::timeFormat) {
        // People write the hours the clock counts; stored files, like the registry, hold 1 for 12 and 0
        // for 24.
        const std::optional<bool> twelveHours = parseTimeFormat(value);
        if (!twelveHours)
            return std::string(name) + ": \"" + printableText(value) +
                   "\" is not 12 or 24 (or 1 for 12, 0 for 24)";
        s.timeFormat = *twelveHours;
        return {};
    }
    std::uint32_t number = 0;
    const NumberRead read = parseNumber(value, number);
    if (read == NumberRead::notANumber)
        return std::string(name) + ": \"" + printableText(value) + "\" is not a whole number";
    // A switch is 0 or 1: any other number is as much a mistake as a Volume of 150.
    if (read == NumberRead::tooLarge || !takeSettingValue(s, *stored, number))
        return std::string(name) + ": " + std::string(value) + " is outside " + rangeText(*stored);
    return {};
}

std::string formatValue(const SettingSpec& stored, const Settings& s) {
    return std::string(stored.name) + "=" + std::to_string(settingValue(s, stored));
}

// One line of the file as read: at most `longestLine` bytes of it, and whether there was more.
struct FileLine {
    std::string text;
    bool tooLong = false;
};

// The file's lines, each cut at `longestLine` bytes, so that a file of any size costs little to read.
bool readLines(const std::string& path, std::vector<FileLine>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    FileLine line;
    for (std::istreambuf_iterator<char> c(in), end; c != end; ++c) {
        if (*c == '\n') {
            lines.push_back(std::move(line));
            line = {};
        } else if (line.text.size() < longestLine) {
            line.text += *c;
        } else {
            line.tooLong = true;
        }
    }
    if (!line.text.empty() || line.tooLong)
        lines.push_back(std::move(line));
    return !in.bad();
}

// Applies every line over `s`; each line skipped is reported on `warnings` when it is given.
void applyLines(const std::string& path, const std::vector<FileLine>& lines, Settings& s,
                std::ostream* warnings) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = trim(lines[i].text);
        if (!lines[i].tooLong && isComment(line))
            continue;
        std::string_view name, value;
        const std::string reason = lines[i].tooLong               ? "longer than 4096 bytes"
                                   : splitLine(line, name, value) ? applyLine(name, value, s)
                                                                  : "no '=' in the line";
        if (!reason.empty() && warnings)
            *warnings << "heliox: " << printableText(path) << ":" << i + 1 << ": " << reason
                      << "; line ignored\n";
    }
    applyDefGamma(s);
}

// The values in which `wanted` differs from `loaded` put over `current`.
void applyChanges(const Settings& loaded, const Settings& wanted, Settings& current) {
    for (const SettingSpec& stored : settingSchema())
        if (inFile(stored) && settingValue(wanted, stored) != settingValue(loaded, stored))
            takeSettingValue(current, stored, settingValue(wanted, stored));
    applyDefGamma(current);
}

// The file's text with every value of `s` but Path: its other lines (comments, Path, names this version does
// not know) where they stand, each value in its first place, the values it did not hold at the end.
std::string settingsText(const std::vector<FileLine>& lines, const Settings& s) {
    std::vector<const SettingSpec*> written;
    std::string text;
    for (const FileLine& original : lines) {
        std::string_view name, value;
        std::string_view line = trim(original.text);
        const SettingSpec* stored =
            !isComment(line) && splitLine(line, name, value) ? findStoredValue(name) : nullptr;
        if (!stored) {
            text += original.text + "\n";
        } else if (std::find(written.begin(), written.end(), stored) == written.end()) {
            text += formatValue(*stored, s) + "\n";
            written.push_back(stored);
        } // a repeated value is dropped: the first place holds the current value
    }
    for (const SettingSpec& stored : settingSchema())
        if (inFile(stored) && std::find(written.begin(), written.end(), &stored) == written.end())
            text += formatValue(stored, s) + "\n";
    return text;
}

// Why `path` cannot be the settings file, or nothing when it can (a regular file, or none yet): a named pipe
// would block the run until something wrote to it; a loop of links names no file; a file far larger than any
// settings file would cost every start of the saver seconds and its memory (each of millions of empty lines
// is a line to keep).
std::optional<std::string> notASettingsFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(followSymbolicLinks(path), ec)))
        return printableText(path) + ": too many symbolic links, or a loop of them";
    if (!std::filesystem::exists(status))
        return std::nullopt;
    if (!std::filesystem::is_regular_file(status))
        return printableText(path) + ": not a regular file";
    if (std::filesystem::file_size(path, ec) > largestFile)
        return printableText(path) +
               ": larger than 1 MiB, which no settings file is; remove what is not settings";
    return std::nullopt;
}

} // namespace

bool readSettingsFile(const std::string& path, Settings& s, std::ostream& warnings) {
    if (const std::optional<std::string> reason = notASettingsFile(path)) {
        warnings << "heliox: " << *reason << "; using the default settings\n";
        return false;
    }
    std::vector<FileLine> lines;
    errno = 0;
    if (!readLines(path, lines)) {
        const int reason = errno;
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return true;
        warnings << "heliox: " << printableText(path) << ": cannot be read ("
                 << (reason ? std::strerror(reason) : "read error") << "); using the default settings\n";
        return false;
    }
    applyLines(path, lines, s, &warnings);
    return true;
}

std::string settingsValuesText(const Settings& s) {
    std::string text;
    for (const SettingSpec& stored : settingSchema())
        if (inFile(stored))
            text += formatValue(stored, s) + "\n";
    return text;
}

bool writeSettingsFile(const std::string& path, const Settings& loaded, Settings& s, std::string& error) {
    // A settings file kept elsewhere and linked here (a dotfiles folder) is changed where it is.
    if (const std::optional<std::string> reason = notASettingsFile(path)) {
        error = *reason;
        return false;
    }
    const std::string target = followSymbolicLinks(path);
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::create_directories(folder, ec) && ec) {
        error = "cannot create " + printableText(folder.string()) + ": " + ec.message();
        return false;
    }
    const FolderLock lock(folder.empty() ? "." : folder.string(), error);
    if (!lock.ok())
        return false;
    std::vector<FileLine> lines;
    if (std::filesystem::exists(target, ec) && !readLines(target, lines)) {
        error = "cannot read " + printableText(target) + " to keep its other lines";
        return false;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].tooLong) {
            error = printableText(target) + ":" + std::to_string(i + 1) +
                    ": a line longer than 4096 bytes, which would be lost; remove it first";
            return false;
        }
    // What the file holds now, which another process may have changed since `loaded` was read from it.
    Settings current;
    applyLines(target, lines, current, nullptr);
    applyChanges(loaded, s, current);
    if (!replaceFileText(target, settingsText(lines, current), error))
        return false;
    s = current;
    return true;
}

std::string setSetting(Settings& s, std::string_view nameEqualsValue) {
    std::string_view name, value;
    if (!splitLine(trim(nameEqualsValue), name, value))
        return "\"" + printableText(nameEqualsValue) + "\" is not NAME=VALUE";
    if (name == pathName)
        return "Path is the installer's to set";
    if (const SettingSpec* stored = findStoredValue(name); stored && !stored->flag && !stored->number)
        return std::string(name) + " is kept for older versions and always saved as 0";
    std::string reason = applyLine(name, value, s);
    if (reason.empty())
        applyDefGamma(s);
    return reason;
}

std::vector<std::string> setSettings(Settings& s, const std::vector<std::string>& changes) {
    Settings changed = s;
    std::vector<std::string> refused;
    for (const std::string& change : changes)
        if (std::string reason = setSetting(changed, change); !reason.empty())
            refused.push_back(printableText(change) + ": " + reason);
    if (refused.empty())
        s = changed;
    return refused;
}
