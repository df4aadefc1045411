#include "app/linux/show_target.h"

#include <charconv>

namespace {

// XScreenSaver writes the id in hexadecimal ("0x1a00007"); a decimal one is taken too.
std::optional<std::uint64_t> parseWindowId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t id = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || id == 0)
        return std::nullopt;
    return id;
}

} // namespace

std::optional<ShowTarget> chooseShowTarget(const RunOptions& options, const char* xscreensaverWindow,
                                           std::string& error) {
    if (options.windowId)
        return ShowTarget{ShowPlace::Host, *options.windowId};
    const bool fromHost = xscreensaverWindow && xscreensaverWindow[0] && !options.window;
    if (fromHost) {
        std::optional<std::uint64_t> id = parseWindowId(xscreensaverWindow);
        if (!id) {
            error = std::string("$XSCREENSAVER_WINDOW holds no window id: \"") + xscreensaverWindow + "\"";
            return std::nullopt;
        }
        return ShowTarget{ShowPlace::Host, *id};
    }
    if (options.root)
        return ShowTarget{ShowPlace::Host, 0};
    if (options.window)
        return ShowTarget{ShowPlace::Window, 0};
    return ShowTarget{};
}
