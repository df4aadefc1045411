#include "app/run_overrides.h"

Settings runSettings(Settings stored, const RunOptions& options, bool inHostWindow) {
    Settings run = std::move(stored);
    if (options.speed)
        run.speed = *options.speed;
    if (options.volume)
        run.volume = *options.volume;
    if (options.showFps)
        run.showFps = *options.showFps;
    if (options.showClock)
        run.showClock = *options.showClock;
    if (options.twelveHourClock)
        run.timeFormat = *options.twelveHourClock;
    if (options.maxFps)
        run.maxFps = *options.maxFps;
    if (options.multisample)
        run.multisample = *options.multisample;
    if (inHostWindow)
        run.enableMusic = false;
    if (options.music)
        run.enableMusic = *options.music;
    return run;
}
