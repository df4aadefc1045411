#pragma once

#include <cstdint>
#include <string>

// The user's options. Every field is named after the value that stores it ("ShowClock", "Width", ...), in the
// Windows registry and in the Linux settings file alike.
struct Settings {
    bool showClock = true;
    bool timeFormat = false; // the clock counts 12 hours when set, 24 hours when clear
    bool enableMusic = true;
    bool useDesktop = true;    // run in the desktop's current mode rather than Width x Height x Depth
    bool defGamma = true;      // leave the display's gamma ramp alone; forces Gamma to 50
    std::uint32_t width = 800; // until the desktop's mode is known
    std::uint32_t height = 600;
    std::uint32_t depth = 32;
    std::uint32_t volume = 100; // 1 to 100
    std::uint32_t gamma = 50;   // 0 to 100; 50 is neutral
    std::uint32_t speed = 50;   // 0 to 100
    bool showFps = false;
    bool vSync = false;
    bool mouseExit = false;
    // "Multisample": smooth the edges of bodies with several samples a pixel where the display offers them
    // cheaply (a graphics card; a software rasterizer pays for every sample) and in rendered frames.
    bool multisample = true;
    // Linux only ("MaxFPS"): frames a second at most, so the show leaves the processor to others; 0 draws as
    // fast as the machine can. The Windows saver keeps its loop without rest.
    std::uint32_t maxFps = 30;
    std::string path; // the installation folder; at most 254 characters; never written back

    bool operator==(const Settings&) const = default;
};

// The process-wide record, loaded once at start-up and written back only from the settings dialog.
extern Settings settings;
