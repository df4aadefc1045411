#include "app/win32/host_switch.h"

bool isKnownHostSwitch(std::string_view commandLine) {
    std::size_t i = 0;
    if (commandLine.starts_with('"')) {
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        const std::size_t blank = commandLine.find(' ');
        i = blank == std::string_view::npos ? commandLine.size() : blank + 1;
    }
    const std::size_t start = commandLine.find_first_of("/-", i);
    if (start == std::string_view::npos)
        return true;
    const char letter =
        start + 1 < commandLine.size() ? static_cast<char>(commandLine[start + 1] | 0x20) : '\0';
    return letter == 'c' || letter == 'p' || letter == 's' || letter == 't';
}
