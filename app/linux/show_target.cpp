#include "app/linux/show_target.h"

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
