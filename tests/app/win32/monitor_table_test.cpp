#include "app/win32/monitor_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A machine's display adapters as the fakes below report them.
struct FakeAdapter {
    DWORD flags;
    LONG x, y;
    DWORD width, height;
};
std::vector<FakeAdapter> adapters;
std::vector<RECT> monitorAreas; // where the fake machine has monitors

BOOL WINAPI fakeEnumDisplayDevices(LPCSTR device, DWORD number, PDISPLAY_DEVICEA adapter, DWORD) {
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(adapter->cb, sizeof(DISPLAY_DEVICEA));
    if (number >= adapters.size())
        return FALSE;
    std::memset(adapter->DeviceName, 0, sizeof adapter->DeviceName);
    std::snprintf(adapter->DeviceName, sizeof adapter->DeviceName, "\\\\.\\DISPLAY%lu", number + 1);
    adapter->StateFlags = adapters[number].flags;
    return TRUE;
}

BOOL WINAPI fakeEnumDisplaySettings(LPCSTR device, DWORD mode, DEVMODEA* out) {
    EXPECT_EQ(mode, ENUM_CURRENT_SETTINGS);
    EXPECT_EQ(out->dmSize, sizeof(DEVMODEA));
    const unsigned number = std::stoul(std::string(device).substr(11)) - 1;
    const FakeAdapter& adapter = adapters.at(number);
    out->dmPosition.x = adapter.x;
    out->dmPosition.y = adapter.y;
    out->dmPelsWidth = adapter.width;
    out->dmPelsHeight = adapter.height;
    return TRUE;
}

const HMONITOR fakePrimary = reinterpret_cast<HMONITOR>(0x99);

HMONITOR WINAPI fakeMonitorFromRect(LPCRECT rect, DWORD flags) {
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return fakePrimary;
    EXPECT_EQ(flags, static_cast<DWORD>(MONITOR_DEFAULTTONULL));
    for (std::size_t i = 0; i < monitorAreas.size(); ++i) {
        RECT overlap;
        if (IntersectRect(&overlap, rect, &monitorAreas[i]))
            return reinterpret_cast<HMONITOR>(i + 1);
    }
    return nullptr;
}

const MonitorApi fakeApi{fakeEnumDisplayDevices, fakeEnumDisplaySettings, fakeMonitorFromRect};

constexpr DWORD desktop = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
constexpr DWORD primary = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;

void expectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(MonitorTable, OnePrimaryAdapterIsOneActiveRecordAtTheOriginWhateverItsPosition) {
    adapters = {{primary, 300, 200, 1280, 1024}};
    monitorAreas = {{0, 0, 1280, 1024}};
    const MonitorTable table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 1u);
    EXPECT_NE(table.records[0].monitor, nullptr);
    expectRect(table.records[0].desktopRect, 0, 0, 1280, 1024);
    EXPECT_EQ(table.records[0].window, nullptr);
}

TEST(MonitorTable, ASecondaryDisplayToTheLeftGetsNegativeCoordinates) {
    adapters = {{primary, 0, 0, 1920, 1080}, {desktop, -1280, 56, 1280, 1024}};
    monitorAreas = {{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}};
    const MonitorTable table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 2u);
    expectRect(table.records[1].desktopRect, -1280, 56, 0, 1080);
    EXPECT_EQ(table.records[1].monitor, reinterpret_cast<HMONITOR>(2));
}

TEST(MonitorTable, MirroringDriversTakeNoRecordAndDetachedAdaptersAnInactiveOne) {
    adapters = {{primary, 0, 0, 800, 600},
                {DISPLAY_DEVICE_MIRRORING_DRIVER | desktop, 0, 0, 800, 600},
                {0, 0, 0, 1024, 768},
                {desktop, 800, 0, 1024, 768}};
    monitorAreas = {{0, 0, 800, 600}, {800, 0, 1824, 768}};
    const MonitorTable table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 3u);
    EXPECT_NE(table.records[0].monitor, nullptr);
    EXPECT_EQ(table.records[1].monitor, nullptr); // detached: no rectangle, no monitor
    expectRect(table.records[1].desktopRect, 0, 0, 0, 0);
    EXPECT_NE(table.records[2].monitor, nullptr);
    expectRect(table.records[2].desktopRect, 800, 0, 1824, 768);
}

TEST(MonitorTable, AnAdapterWhoseRectangleLiesOnNoMonitorIsInactive) {
    adapters = {{primary, 0, 0, 800, 600}, {desktop, 5000, 5000, 800, 600}};
    monitorAreas = {{0, 0, 800, 600}};
    const MonitorTable table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 2u);
    EXPECT_EQ(table.records[1].monitor, nullptr);
}

TEST(MonitorTable, WithNoActiveAdapterThePrimaryScreenIsCovered) {
    adapters = {};
    monitorAreas = {};
    MonitorTable table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 1u);
    EXPECT_EQ(table.records[0].monitor, fakePrimary);
    expectRect(table.records[0].desktopRect, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN));

    adapters = {{0, 0, 0, 800, 600}, {desktop, 9000, 0, 800, 600}}; // detached, and on no monitor
    table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, 3u);
    EXPECT_EQ(table.records[2].monitor, fakePrimary);

    adapters.assign(10, FakeAdapter{0, 0, 0, 640, 480});
    table = enumerateMonitors(fakeApi);
    ASSERT_EQ(table.count, maxMonitors);
    EXPECT_EQ(table.records[maxMonitors - 1].monitor, fakePrimary);
}

TEST(MonitorTable, AtMostNineAdaptersAreListed) {
    adapters.assign(12, FakeAdapter{desktop, 0, 0, 640, 480});
    monitorAreas = {{0, 0, 640, 480}};
    EXPECT_EQ(enumerateMonitors(fakeApi).count, maxMonitors);
}

// The machine the tests run on has at least the one display they are shown on.
TEST(MonitorTable, TheSystemsFunctionsFindThePrimaryDisplay) {
    const MonitorTable table = enumerateMonitors(lookUpMonitorApi());
    ASSERT_GE(table.count, 1u);
    bool primaryFound = false;
    for (unsigned i = 0; i < table.count; ++i) {
        const RECT& r = table.records[i].desktopRect;
        if (table.records[i].monitor && r.left == 0 && r.top == 0)
            primaryFound =
                r.right == GetSystemMetrics(SM_CXSCREEN) && r.bottom == GetSystemMetrics(SM_CYSCREEN);
    }
    EXPECT_TRUE(primaryFound);
}

} // namespace
