#include "tools/sdd/progress.h"

#include "tools/sdd/member_name.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr auto quietStart = std::chrono::seconds(1);
constexpr auto redrawEvery = std::chrono::milliseconds(100);

Progress* current = nullptr;

std::size_t terminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

Progress::Progress(std::uint64_t total)
    : enabled_(::isatty(STDERR_FILENO) == 1), total_(total), start_(std::chrono::steady_clock::now()) {
    current = this;
}

Progress::~Progress() {
    clear();
    if (current == this)
        current = nullptr;
}

void Progress::show(std::uint64_t done, std::string_view what) {
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < quietStart || (shown_ && now - lastShown_ < redrawEvery))
        return;
    lastShown_ = now;
    const unsigned percent =
        total_ == 0 ? 100 : static_cast<unsigned>(std::min<std::uint64_t>(done, total_) * 100 / total_);
    std::string line = "sdd: " + std::to_string(percent) + "% " + printableText(what);
    // One line, never wrapped: a wrapped line could not be redrawn in place.
    const std::size_t width = terminalWidth() - 1;
    if (width > 10 && line.size() > width) {
        std::size_t cut = width - 3;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut; // not inside a character
        line = line.substr(0, cut) + "...";
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void Progress::clear() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

void clearProgressLine() {
    if (current)
        current->clear();
}
