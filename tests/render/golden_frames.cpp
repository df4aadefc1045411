#include "tests/render/golden_frames.h"

#include "app/headless/png_image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

const fs::path goldenFolder = fs::path(HELIOX_SOURCE_DIR) / "tests" / "golden";

} // namespace

RenderRun renderShow(const fs::path& archive, const fs::path& folder, const std::string& arguments) {
    // Without a throw: a test renders to a path through a file, which cannot be removed, to see what it says.
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    std::string command = std::string(HELIOX_PATH) + " --render " + quoted(folder) + " --data " +
                          quoted(archive) + " " + arguments + " 2>&1";
    RenderRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        run.frames.push_back(entry.path());
    std::sort(run.frames.begin(), run.frames.end());
    return run;
}

std::string compareWithGolden(const fs::path& frame, const std::string& name, int tolerance,
                              int allowedPixels) {
    const fs::path golden = goldenFolder / (name + ".png");
    const char* update = std::getenv("HELIOX_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::copy_file(frame, golden, fs::copy_options::overwrite_existing);
        return {};
    }
    int width = 0, height = 0, goldenWidth = 0, goldenHeight = 0;
    std::vector<std::uint8_t> pixels, expected;
    std::string error;
    if (!readPng(frame.string(), width, height, pixels, error))
        return error;
    if (!readPng(golden.string(), goldenWidth, goldenHeight, expected, error))
        return error + " (make it with HELIOX_UPDATE_GOLDEN=1, then look at it)";
    if (width != goldenWidth || height != goldenHeight)
        return "size " + std::to_string(width) + "x" + std::to_string(height) + " instead of " +
               std::to_string(goldenWidth) + "x" + std::to_string(goldenHeight);
    int differing = 0, worst = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        int difference = 0;
        for (std::size_t c = 0; c < 3; ++c)
            difference = std::max(difference, std::abs(int(pixels[i + c]) - int(expected[i + c])));
        worst = std::max(worst, difference);
        differing += difference > tolerance;
    }
    if (differing <= allowedPixels)
        return {};
    const fs::path kept = fs::temp_directory_path() / (name + "-actual.png");
    fs::copy_file(frame, kept, fs::copy_options::overwrite_existing);
    return std::to_string(differing) + " pixels differ from " + golden.string() + " by more than " +
           std::to_string(tolerance) + " (at most " + std::to_string(worst) + "); this run's frame is " +
           kept.string();
}
