// The built show at full-screen size: how long it takes from nothing to the first frame, split into its
// parts, and how long each frame takes while the camera travels.
//   show_bench [ARCHIVE] [WIDTHxHEIGHT] [FRAMES] [--multisample]
// A window on this machine's software renderer draws plain (the Multisample setting asks for samples only
// from a graphics card), so the bench does too unless --multisample asks for four samples a pixel, as
// --render draws and a card would; each frame then ends with the samples averaged, as a buffer swap does.
// The split: "archive" extracts every texture's member, "decode" turns them into pixels, "mipmaps" is the
// rest of the texture step (building the levels and uploading them), "scripts" is everything after the last
// texture (meshes, environments, worlds, the camera's path). Each is timed on its own, as the loader does it.
#include "app/headless/gl_context.h"
#include "app/saver_run.h"
#include "base/settings.h"
#include "data/jpeg_image.h"
#include "data/resource_file.h"
#include "data/tga_image.h"
#include "objects/scene_object.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// What the show should manage on a two-core machine without a graphics card, rasterised in software.
constexpr double startUpTarget = 400;        // milliseconds to the first frame at 1920 × 1080
constexpr double framesPerSecondTarget = 30; // at 1920 × 1080

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

std::vector<std::string> textureMembers(ShowFiles& files) {
    std::vector<std::string> names;
    ResourceFile list;
    list.open("texture.txt", files);
    char line[128];
    while (list.readLine(line, sizeof line)) {
        std::string name = line;
        name = name.substr(0, name.find_first_of(" \t"));
        if (name.starts_with("END_TEXT"))
            break;
        if (!name.empty())
            names.push_back("textures\\" + name);
    }
    return names;
}

struct Split {
    double archive = 0, decode = 0;
};

// Extracting and decoding, without GL, timed apart.
Split extractAndDecode(ShowFiles& files, const std::vector<std::string>& members) {
    Split split;
    for (const std::string& member : members) {
        const Clock::time_point start = Clock::now();
        ResourceFile file;
        if (!file.open(member, files)) {
            std::fprintf(stderr, "show_bench: %s is missing\n", member.c_str());
            std::exit(1);
        }
        const Clock::time_point extracted = Clock::now();
        const std::span<const std::uint8_t> bytes(file.data(), file.size());
        if (member.ends_with("tga")) {
            TgaHeader image;
            decodeTga(bytes, image);
        } else {
            DecodedImage image;
            decodeJpeg(bytes, image);
        }
        split.archive += millisecondsBetween(start, extracted);
        split.decode += millisecondsBetween(extracted, Clock::now());
    }
    return split;
}

// Processor time of the whole process, every thread of the rasteriser included: what a frame costs even when
// other programs share the machine.
double processMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Where a frame's time goes: the same frames again, each object finished before the next is drawn, so its
// time is the time to draw it (the first also clears the screen). Finishing each object stops the rasteriser
// from overlapping them, so the total is more than a frame; the shares are what matter.
void printFrameSplit(SaverRun& run, int frames) {
    std::map<std::string, double> milliseconds;
    Clock::time_point mark;
    run.director().afterEachDraw = [&](const SceneObject& object) {
        glFinish();
        const Clock::time_point now = Clock::now();
        milliseconds[describeObject(object)] += millisecondsBetween(mark, now);
        mark = now;
    };
    double total = 0;
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point frameStart = mark = Clock::now();
        run.frame(1.0 / 30);
        glFinish();
        const Clock::time_point end = Clock::now();
        milliseconds["the overlay and the rest"] += millisecondsBetween(mark, end);
        total += millisecondsBetween(frameStart, end);
    }
    run.director().afterEachDraw = nullptr;
    std::vector<std::pair<double, std::string>> costs;
    for (const auto& [name, ms] : milliseconds)
        costs.emplace_back(ms / frames, name);
    std::sort(costs.rbegin(), costs.rend());
    std::printf("the next %d frames with each object finished apart: %.1f ms a frame; the costliest:\n",
                frames, total / frames);
    for (std::size_t i = 0; i < std::min<std::size_t>(costs.size(), 12); ++i)
        std::printf("  %7.2f ms  %s\n", costs[i].first, costs[i].second.c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto multisampleFlag = std::find(args.begin(), args.end(), "--multisample");
    const bool multisample = multisampleFlag != args.end();
    if (multisample)
        args.erase(multisampleFlag);
    const std::string archive = args.size() > 0 ? args[0] : HELIOX_SHOW_ARCHIVE;
    int width = 1920, height = 1080;
    if (args.size() > 1 && std::sscanf(args[1].c_str(), "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "show_bench: the size is WIDTHxHEIGHT\n");
        return 2;
    }
    const int frames = args.size() > 2 ? std::max(1, std::atoi(args[2].c_str())) : 150;

    // The whole start-up first, while nothing is cached: context, textures, scripts, first frame.
    const Clock::time_point start = Clock::now();
    // Every core rasterizes, as behind a window on this machine.
    auto context = HeadlessGlContext::create(width, height, HeadlessGlContext::Rasterizer::allCores,
                                             multisample ? HeadlessGlContext::Multisampling::on
                                                         : HeadlessGlContext::Multisampling::off);
    if (!context) {
        std::fprintf(stderr, "show_bench: no off-screen OpenGL context\n");
        return 1;
    }
    const Clock::time_point contextMade = Clock::now();
    ShowFiles files(archive);
    const std::vector<std::string> members = textureMembers(files);
    std::size_t progressSteps = 0;
    Clock::time_point texturesDone = contextMade;
    SaverHooks hooks;
    hooks.loadingProgress = [&] {
        if (++progressSteps == members.size())
            texturesDone = Clock::now();
    };
    const Settings settings;
    SaverRun run(settings, width, height, hooks, archive);
    if (!run.load(1)) {
        std::fprintf(stderr, "show_bench: %s: no world to show\n", archive.c_str());
        return 1;
    }
    const Clock::time_point loaded = Clock::now();
    run.frame(1.0 / 30);
    glFinish();
    const Clock::time_point firstFrame = Clock::now();

    const Split split = extractAndDecode(files, members);
    const double textures = millisecondsBetween(contextMade, texturesDone);
    const double startUp = millisecondsBetween(start, firstFrame);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    std::printf("multisampling: %s\n", samples > 1 ? (std::to_string(samples) + " samples a pixel").c_str()
                                                   : "off (--multisample turns it on)");
    std::printf("start-up to the first frame at %d x %d: %.0f ms   target: under %.0f ms: %s\n", width,
                height, startUp, startUpTarget, startUp < startUpTarget ? "met" : "MISSED");
    std::printf("  context   %7.1f ms\n", millisecondsBetween(start, contextMade));
    std::printf("  archive   %7.1f ms  (%zu textures extracted)\n", split.archive, members.size());
    std::printf("  decode    %7.1f ms\n", split.decode);
    std::printf("  mipmaps   %7.1f ms  (the texture step less the two above)\n",
                textures - split.archive - split.decode);
    std::printf("  scripts   %7.1f ms  (meshes, environments, worlds, the camera's path)\n",
                millisecondsBetween(texturesDone, loaded));
    std::printf("  1st frame %7.1f ms\n", millisecondsBetween(loaded, firstFrame));

    std::vector<double> times;
    const double processStart = processMilliseconds();
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point frameStart = Clock::now();
        run.frame(1.0 / 30);
        context->resolveSamples();
        glFinish();
        times.push_back(millisecondsBetween(frameStart, Clock::now()));
    }
    const double processPerFrame = (processMilliseconds() - processStart) / frames;
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    const double mean = sum / frames;
    std::printf(
        "%d frames at %d x %d: mean %.1f ms (%.1f frames per second), median %.1f ms, slowest %.1f ms\n",
        frames, width, height, mean, 1000 / mean, times[times.size() / 2], times.back());
    std::printf("  target: %.0f frames per second or more (mean, the machine otherwise quiet): %s\n",
                framesPerSecondTarget, 1000 / mean >= framesPerSecondTarget ? "met" : "MISSED");
    std::printf("processor time per frame, all threads: %.1f ms\n", processPerFrame);
    printFrameSplit(run, frames);
}
