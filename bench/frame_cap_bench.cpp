// The processor time heliox takes for each second of show, in a 1024 x 768 window on a virtual X server with
// the built show: at the default frame cap (30 a second) and uncapped. A plain program:
//   frame_cap_bench [ARCHIVE] [SECONDS]
#include "tests/app/linux/x_session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Processor seconds per second of show, measured over `seconds` once loading is over.
double processorShare(const std::string& archive, const std::string& display, const fs::path& config,
                      const std::string& maxFps, int seconds) {
    ChildProcess run(
        {HELIOX_PATH, "--window", "--no-music", "--max-fps", maxFps, "--data", archive},
        {{"DISPLAY", display}, {"XDG_CONFIG_HOME", config.string()}, {"SDL_AUDIODRIVER", "dummy"}},
        fs::temp_directory_path() / "heliox-frame-cap-bench.txt");
    std::this_thread::sleep_for(8s); // loading, with the show's textures, on a loaded machine too
    const double start = run.processorSeconds();
    const auto wall = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = run.processorSeconds() - start;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    if (!run.running())
        std::fprintf(stderr, "frame_cap_bench: heliox ended early:\n%s", run.output().c_str());
    return used / elapsed;
}

} // namespace

int main(int argc, char** argv) {
    const std::string archive = argc > 1 ? argv[1] : HELIOX_SHOW_ARCHIVE;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    VirtualXServer server;
    if (!server.running()) {
        std::fprintf(stderr, "frame_cap_bench: Xvfb did not start\n");
        return 1;
    }
    // A window of 1024 x 768: the size the settings give a window when they ask for one.
    const fs::path config = fs::temp_directory_path() / "heliox-frame-cap-bench-config";
    fs::create_directories(config / "heliox");
    std::ofstream(config / "heliox" / "heliox.conf") << "UseDesktop=0\nWidth=1024\nHeight=768\n";

    std::printf("heliox --window 1024x768 with %s on Xvfb %s, %d s each\n", archive.c_str(),
                server.name().c_str(), seconds);
    const double capped = processorShare(archive, server.name(), config, "30", seconds);
    const double uncapped = processorShare(archive, server.name(), config, "0", seconds);
    std::printf("processor seconds per second of show: capped at 30 %.2f, uncapped %.2f (%.0f %% of it)\n",
                capped, uncapped, 100 * capped / uncapped);
    fs::remove_all(config);
    return 0;
}
