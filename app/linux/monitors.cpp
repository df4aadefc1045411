#include "app/linux/monitors.h"

#include <X11/extensions/Xrandr.h>

std::vector<MonitorArea> listMonitors(Display* display, int screen) {
    std::vector<MonitorArea> areas;
    int eventBase = 0, errorBase = 0, count = 0;
    XRRMonitorInfo* monitors = nullptr;
    if (XRRQueryExtension(display, &eventBase, &errorBase))
        monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        if (m.width <= 0 || m.height <= 0)
            continue;
        MonitorArea area{m.x, m.y, m.width, m.height};
        if (m.primary)
            areas.insert(areas.begin(), area);
        else
            areas.push_back(area);
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    if (areas.empty())
        areas.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    return areas;
}
