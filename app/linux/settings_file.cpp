#include "app/linux/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One stored value. Exactly one of `flag` and `number` is set, except for ShowFlame, which older versions of
// the settings expect to find and which is always written as 0 and never read.
struct StoredValue {
    std::string_view name;
    bool Settings::*flag;
    std::uint32_t Settings::*number;
    std::uint32_t min, max;
};

// In the order in which they are written.
constexpr StoredValue storedValues[] = {
    {"ShowClock", &Settings::showClock, nullptr, 0, 0},
    {"TimeFormat", &Settings::timeFormat, nullptr, 0, 0},
    {"EnableMusic", &Settings::enableMusic, nullptr, 0, 0},
    {"UseDesktop", &Settings::useDesktop, nullptr, 0, 0},
    {"ShowFlame", nullptr, nullptr, 0, 0},
    {"DefGamma", &Settings::defGamma, nullptr, 0, 0},
    {"Width", nullptr, &Settings::width, 1, 32767},
    {"Height", nullptr, &Settings::height, 1, 32767},
    {"Depth", nullptr, &Settings::depth, 8, 32},
    {"Volume", nullptr, &Settings::volume, 0, 100},
    {"Speed", nullptr, &Settings::speed, 0, 100},
    {"Gamma", nullptr, &Settings::gamma, 0, 100},
    {"VSync", &Settings::vSync, nullptr, 0, 0},
    {"MouseExit", &Settings::mouseExit, nullptr, 0, 0},
    {"ShowFPS", &Settings::showFps, nullptr, 0, 0},
    {"MaxFPS", nullptr, &Settings::maxFps, 0, 1000},
    {"Multisample", &Settings::multisample, nullptr, 0, 0},
};

constexpr std::string_view pathName = "Path";
constexpr std::size_t maxPathLength = 254;

const StoredValue* findStoredValue(std::string_view name) {
    for (const StoredValue& value : storedValues)
        if (value.name == name)
            return &value;
    return nullptr;
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
    for (const StoredValue& value : storedValues)
        if (const std::size_t d = editDistance(name, value.name); d < bestDistance) {
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

std::optional<std::uint32_t> parseNumber(std::string_view s) {
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

// Applies one "Name=value" line; returns the reason when the line is skipped, empty when it was taken.
std::string applyLine(std::string_view name, std::string_view value, Settings& s) {
    if (name == pathName) {
        if (value.size() > maxPathLength)
            return "Path is longer than 254 characters";
        s.path = value;
        return {};
    }
    const StoredValue* stored = findStoredValue(name);
    if (!stored)
        return "unknown setting \"" + std::string(name) + "\" (did you mean " +
               std::string(nearestName(name)) + "?)";
    std::optional<std::uint32_t> number = parseNumber(value);
    if (!number)
        return std::string(name) + ": \"" + std::string(value) + "\" is not a whole number";
    if (stored->flag) {
        s.*stored->flag = *number != 0;
    } else if (stored->number) {
        if (*number < stored->min || *number > stored->max)
            return std::string(name) + ": " + std::to_string(*number) + " is outside " +
                   std::to_string(stored->min) + " to " + std::to_string(stored->max);
        s.*stored->number = *number;
    }
    return {};
}

std::string formatValue(const StoredValue& stored, const Settings& s) {
    std::uint32_t number = stored.flag ? (s.*stored.flag ? 1 : 0) : stored.number ? s.*stored.number : 0;
    return std::string(stored.name) + "=" + std::to_string(number);
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return !in.bad();
}

// Writes `text` to a fresh temporary file beside `path`, flushes it to disk and renames it over `path`.
bool replaceFile(const std::string& path, const std::string& text, std::string& error) {
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = "cannot write " + temp + ": " + std::strerror(n < 0 ? errno : ENOSPC);
            close(fd);
            unlink(temp.c_str());
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (fchmod(fd, 0644) != 0 || fsync(fd) != 0 || close(fd) != 0) {
        error = "cannot finish " + temp + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

bool readSettingsFile(const std::string& path, Settings& s, std::ostream& warnings) {
    std::vector<std::string> lines;
    errno = 0;
    if (!readLines(path, lines)) {
        const int reason = errno;
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return true;
        warnings << path << ": cannot be read (" << (reason ? std::strerror(reason) : "read error")
                 << "); using the default settings\n";
        return false;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = trim(lines[i]);
        if (isComment(line))
            continue;
        std::string_view name, value;
        std::string reason = splitLine(line, name, value) ? applyLine(name, value, s) : "no '=' in the line";
        if (!reason.empty())
            warnings << path << ":" << i + 1 << ": " << reason << "; line ignored\n";
    }
    if (s.defGamma)
        s.gamma = 50;
    return true;
}

std::string settingsValuesText(const Settings& s) {
    std::string text;
    for (const StoredValue& stored : storedValues)
        if (stored.flag || stored.number)
            text += formatValue(stored, s) + "\n";
    return text;
}

bool writeSettingsFile(const std::string& path, const Settings& s, std::string& error) {
    std::vector<std::string> lines;
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !readLines(path, lines)) {
        error = "cannot read " + path + " to keep its other lines";
        return false;
    }

    std::vector<const StoredValue*> written;
    std::string text;
    for (const std::string& original : lines) {
        std::string_view name, value;
        std::string_view line = trim(original);
        const StoredValue* stored =
            !isComment(line) && splitLine(line, name, value) ? findStoredValue(name) : nullptr;
        if (!stored) {
            text += original + "\n";
        } else if (std::find(written.begin(), written.end(), stored) == written.end()) {
            text += formatValue(*stored, s) + "\n";
            written.push_back(stored);
        } // a repeated value is dropped: the first place holds the current value
    }
    for (const StoredValue& stored : storedValues)
        if (std::find(written.begin(), written.end(), &stored) == written.end())
            text += formatValue(stored, s) + "\n";

    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::create_directories(folder, ec) && ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    return replaceFile(path, text, error);
}

std::string setSetting(Settings& s, std::string_view nameEqualsValue) {
    std::string_view name, value;
    if (!splitLine(trim(nameEqualsValue), name, value))
        return "\"" + std::string(nameEqualsValue) + "\" is not NAME=VALUE";
    if (name == pathName)
        return "Path is the installer's to set";
    std::string reason = applyLine(name, value, s);
    if (reason.empty() && s.defGamma)
        s.gamma = 50;
    return reason;
}
