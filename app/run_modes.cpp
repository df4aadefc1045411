#include "app/run_modes.h"

void runMode(SaverApplication& app, const RunModes& modes) {
    switch (app.mode) {
    case RunMode::Saver:
    case RunMode::Test:
        modes.saver(app);
        break;
    case RunMode::Preview:
        modes.preview(app);
        break;
    case RunMode::Config:
        modes.config(app);
        break;
    }
}
