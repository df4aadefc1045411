#include "app/headless/show.h"

#include "app/headless/gl_context.h"
#include "app/headless/png_image.h"
#include "app/run_overrides.h"
#include "app/saver_run.h"
#include "app/show_archive.h"
#include "base/printable_text.h"
#include "base/user_message.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include <unistd.h>

namespace {

constexpr unsigned defaultWidth = 800;
constexpr unsigned defaultHeight = 600;
constexpr unsigned defaultFrames = 60;
constexpr double defaultFrameStep = 1.0 / 60.0;
constexpr std::uint32_t defaultSeed = 1;

// The framebuffer's alpha is what blending left there, not a transparency of the picture: a screen shows the
// colours alone, so the frames do too (an image viewer would otherwise lighten translucent pixels).
std::vector<std::uint8_t> opaque(std::vector<std::uint8_t> rgba) {
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 255;
    return rgba;
}

std::string framePath(const std::filesystem::path& folder, unsigned index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05u.png", index);
    return (folder / name).string();
}

// On a terminal, one line kept up to date while frames are written: how many, how fast, how long is left.
// Silent when standard error is a file or a pipe, so logs and tests get only the summary.
class RenderProgress {
public:
    explicit RenderProgress(unsigned frames) : frames_(frames), shown_(isatty(STDERR_FILENO) == 1) {}

    void frameWritten(unsigned written) {
        const auto now = Clock::now();
        if (!shown_ || now - lastShown_ < std::chrono::milliseconds(250))
            return;
        lastShown_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double perSecond = written / seconds;
        std::fprintf(stderr, "\rheliox: %u of %u frames, %.1f a second, %.0f s left   ", written, frames_,
                     perSecond, (frames_ - written) / perSecond);
        std::fflush(stderr);
        dirty_ = true;
    }
    void finish() {
        if (dirty_)
            std::fprintf(stderr, "\r%*s\r", 60, "");
    }

private:
    using Clock = std::chrono::steady_clock;
    unsigned frames_;
    bool shown_;
    bool dirty_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_ = start_;
};

} // namespace

int headless::runSaver(const RunOptions& options) {
    const std::string dataPath = showArchivePath(options);
    if (!showArchiveReadable(dataPath, std::cerr))
        return 1;

    const int width = static_cast<int>(options.width.value_or(defaultWidth));
    const int height = static_cast<int>(options.height.value_or(defaultHeight));
    // The render's own settings: the defaults, never the user's file, with the command line's choices over
    // them as in any run. A render shows neither the clock nor the frame counter unless asked, and is silent.
    Settings defaults;
    defaults.showClock = false;
    defaults.showFps = false;
    Settings renderSettings = runSettings(defaults, options, false);
    renderSettings.enableMusic = false;
    // Frames are written, not watched: they are smoothed even though the software rasterizer pays for it.
    auto context =
        HeadlessGlContext::create(width, height, HeadlessGlContext::Rasterizer::callingThread,
                                  renderSettings.multisample ? HeadlessGlContext::Multisampling::on
                                                             : HeadlessGlContext::Multisampling::off);
    if (!context) {
        std::cerr << "heliox: no off-screen OpenGL context (Mesa's EGL and llvmpipe are needed)\n";
        return 1;
    }

    std::error_code ec, isFolder;
    const std::filesystem::path folder = options.renderDir;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, isFolder)) {
        // The system's reason: a file of that name, a folder that may not be written, ...
        const std::string reason = ec ? ec.message() : "not a folder";
        std::cerr << "heliox: " << printableText(folder.string()) << ": cannot create the folder: " << reason
                  << "\n";
        return 1;
    }

    int messages = 0;
    UserMessageHandler previous = setUserMessageHandler([&](const char* caption, const std::string& text) {
        ++messages;
        std::cerr << "heliox: " << caption << ": " << printableText(text) << "\n";
    });

    SaverHooks hooks;
    if (const std::optional<ClockTime> fixedTime =
            options.time ? parseClockTime(*options.time) : std::nullopt)
        hooks.clockTime = [time = *fixedTime] { return time; };
    SaverRun run(renderSettings, width, height, hooks, dataPath);
    if (const auto& held = options.heldCamera)
        run.holdCamera({(*held)[0], (*held)[1], (*held)[2]}, {(*held)[3], (*held)[4], (*held)[5]});
    const bool loaded = run.load(options.seed.value_or(defaultSeed));
    int result = 0;
    if (!loaded) {
        reportNoWorld(dataPath, std::cerr);
        result = 1;
    } else {
        const unsigned frames = options.frames.value_or(defaultFrames);
        const double step = options.frameStep.value_or(defaultFrameStep);
        std::string error;
        RenderProgress progress(frames);
        for (unsigned i = 0; i < frames && result == 0; ++i) {
            run.frame(step);
            glFinish();
            if (!writePng(framePath(folder, i), width, height, opaque(context->readPixels()), error)) {
                std::cerr << "heliox: " << error << "\n";
                result = 1;
            }
            progress.frameWritten(i + 1);
        }
        progress.finish();
        if (result == 0)
            std::cout << "heliox: wrote " << frames << " frames to " << printableText(folder.string())
                      << "\n";
    }
    setUserMessageHandler(previous);
    return result != 0 || messages > 0 ? 1 : 0;
}
