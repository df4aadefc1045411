#include "app/linux/show_target.h"

#include "base/printable_text.h"

std::optional<ShowTarget> chooseShowTarget(const RunOptions& options, const char* xscreensaverWindow,
                                           std::string& error) {
    if (options.windowId)
        return ShowTarget{ShowPlace::host, *options.windowId};
    const bool fromHost = xscreensaverWindow && xscreensaverWindow[0] && !options.window;
    if (fromHost) {
        std::optional<std::uint64_t> id = parseWindowId(xscreensaverWindow);
        if (!id) {
            error = "$XSCREENSAVER_WINDOW holds no window id: \"" + printableText(xscreensaverWindow) + "\"";
            return std::nullopt;
        }
        return ShowTarget{ShowPlace::host, *id};
    }
    if (options.root)
        return ShowTarget{ShowPlace::host, 0};
    if (options.window)
        return ShowTarget{ShowPlace::window, 0};
    return ShowTarget{};
}
