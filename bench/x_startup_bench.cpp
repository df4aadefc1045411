// heliox on a virtual X server (Xvfb, llvmpipe) with the built show: the time from start to the first frame
// on screen, beside the same for an off-screen render, and the most memory a run holds with the whole show.
// A plain program: x_startup_bench [ARCHIVE] [RUNS] [FRAMES]
#include "tests/app/linux/x_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Measured {
    double seconds = 0;
    long peakMemoryKb = 0;
    int exitCode = -1;
};

Measured timeRun(const std::vector<std::string>& arguments, const std::string& display) {
    const auto start = std::chrono::steady_clock::now();
    ChildProcess run(arguments, {{"DISPLAY", display}, {"SDL_AUDIODRIVER", "dummy"}},
                     fs::temp_directory_path() / "heliox-x-startup-bench.txt");
    Measured measured;
    measured.exitCode = run.waitForExit(600s).value_or(-1);
    measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.peakMemoryKb = run.peakMemoryKb();
    if (measured.exitCode != 0)
        std::fprintf(stderr, "%s", run.output().c_str());
    return measured;
}

void report(const char* what, std::vector<Measured> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
    long peak = 0;
    for (const Measured& m : runs)
        peak = std::max(peak, m.peakMemoryKb);
    std::printf("%-44s median %6.2f s  (best %.2f, worst %.2f)  peak RSS %6.1f MB\n", what,
                runs[runs.size() / 2].seconds, runs.front().seconds, runs.back().seconds, peak / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string archive = argc > 1 ? argv[1] : HELIOX_SHOW_ARCHIVE;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string frames = argc > 3 ? argv[3] : "150";
    VirtualXServer server;
    if (!server.running()) {
        std::fprintf(stderr, "x_startup_bench: Xvfb did not start\n");
        return 1;
    }
    const fs::path frameFolder = fs::temp_directory_path() / "heliox-x-startup-bench-frames";
    std::printf("heliox with %s, 1024x768, Xvfb %s, %d runs each\n", archive.c_str(), server.name().c_str(),
                runs);

    std::vector<Measured> onScreen, offScreen;
    for (int i = 0; i < runs; ++i) {
        onScreen.push_back(
            timeRun({HELIOX_PATH, "-s", "--data", archive, "--no-music", "--frames", "1"}, server.name()));
        offScreen.push_back(timeRun({HELIOX_PATH, "--render", frameFolder.string(), "--data", archive,
                                     "--size", "1024x768", "--frames", "1"},
                                    server.name()));
    }
    report("start to first frame, full screen on Xvfb", onScreen);
    report("start to first frame, off-screen render", offScreen);

    Measured whole =
        timeRun({HELIOX_PATH, "-s", "--data", archive, "--music", "--frames", frames}, server.name());
    std::printf("%-44s %6.2f s for %s frames  peak RSS %6.1f MB (target < 250 MB)\n",
                "the whole show with music, full screen", whole.seconds, frames.c_str(),
                whole.peakMemoryKb / 1024.0);
    fs::remove_all(frameFolder);
    return 0;
}
