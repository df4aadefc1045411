#pragma once

#include "app/exit_rules.h"
#include "base/settings.h"
#include "math/vec3.h"
#include "objects/show.h"
#include "overlay/clock_text.h"
#include "overlay/frame_counter.h"
#include "overlay/loading_screen.h"
#include "scene/environment_table.h"
#include "scene/scene_director.h"
#include "scene/world_list.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

// What a shell lends the saver run: everything that needs the window system.
struct SaverHooks {
    // Called after each loaded texture, object and geometry line: draw the run's loading screen
    // (redrawLoadingScreen with SaverRun::loadingScreen) and show it now, since no event loop runs while
    // loading.
    std::function<void()> loadingProgress;
    // Asked while the show loads, between members and inside long decodes (at most every 20 ms): true when
    // the run should end now (a key, a click, a stop signal), and the load is then given up within moments.
    std::function<bool()> stopLoading;
    // Puts the pointer back in the centre of the window, after a move was taken into the exit travel.
    std::function<void()> recenterPointer;
    // Starts the music of the loaded show, once everything is loaded and just before the clocks start.
    std::function<void(ShowData& show)> startMusic;
    // The time the clock shows; the machine's local time when unset.
    std::function<ClockTime()> clockTime;
};

// One saver run's portable spine: the loading order and the per-frame step, the same under every shell.
class SaverRun {
public:
    // Draws a picture of width × height pixels: sets the viewport (base/viewport.h) that everything drawn
    // reads, as resize does later. The show is the archive or unpacked folder at `showPath`, opened here.
    SaverRun(const Settings& userSettings, int width, int height, SaverHooks hooks,
             const std::string& showPath);

    // Loads the run's show, in the order that makes every name resolve: GL state, textures,
    // shared meshes, environments, worlds; then picks the world and makes the camera's path. The random
    // sequence starts from `seed` when given, else from the clock. False when there is no world to show.
    // Called once per run: the run's own lists point at what its show keeps. False too when the hooks'
    // stopLoading ended the load early (stoppedWhileLoading).
    bool load(std::optional<std::uint32_t> seed = std::nullopt);
    bool stoppedWhileLoading() const { return stoppedWhileLoading_; }

    // One frame: the exit tests, then the camera advanced by dt × speedFactor, every object by dt, and the
    // drawing. dt is the measured time since the previous frame, at most
    // longestFrameStep, unless the caller fixes it. Returns false
    // when the run should end; that frame is still drawn, and the caller swaps it.
    bool frame(std::optional<double> fixedDt = std::nullopt);

    ExitRules& exitRules() { return exit_; }

    // What the run loads and shows: the camera, the world's clock, the textures, the objects...
    Show& show() { return show_; }
    // The pictures drawn while the show loads, once a run with a loading screen has started loading.
    const LoadingScreen& loadingScreen() const { return loadingScreen_; }

    // What draws each frame; a benchmark hooks into it to time each object.
    SceneDirector& director() { return director_; }

    // Keeps the camera at `eye`, looking at `target`, from the next frame on, instead of travelling; +y
    // points down the screen, as along the camera's path. The path is still made and advanced, so the random
    // sequence, and with it everything else in the show, is the same as in a travelling run.
    void holdCamera(Vec3 eye, Vec3 target) { heldCamera_ = std::pair{eye, target}; }

    // The window took a new size (a resizable window, or the host's window under XScreenSaver): the viewport,
    // and with it the perspective, flat drawing and the objects, follow it from the next frame on.
    void resize(int width, int height);

private:
    const Settings& settings_;
    SaverHooks hooks_;
    Show show_;
    LoadingScreen loadingScreen_;
    ExitRules exit_;
    EnvironmentTable environments_;
    WorldList worlds_;
    SceneDirector director_;
    float speedFactor_ = 1.5f;
    bool stoppedWhileLoading_ = false;
    std::optional<std::pair<Vec3, Vec3>> heldCamera_;

    // Drawn by the director over each frame. The frame counter's window is timed by fpsClock, or, when the
    // caller fixes the frame steps, by their sum: a render's frames then show the same count on every
    // machine.
    void drawFrameOverlay();
    FrameCounter frameCounter_;

    // With HELIOX_CHECK_GL=1 in the environment, the GL state is compared with what every draw expects after
    // loading, after each object's draw and after the overlay; each difference is reported once on standard
    // error with what drew last, and the state is put right so the next draw is judged on its own.
    void checkDrawState(const std::string& drawnLast);
    bool checkingDrawState_ = false;
    std::set<std::string> reportedDifferences_;
    std::optional<double> fixedStep_;
    double fixedStepsInFpsWindow_ = 0;
};

// The longest frame step the show takes. After a stall (a suspended machine, a debugger) a measured step of
// minutes would carry the camera far along the curve past its keys, one segment per frame; the show resumes
// where it was instead.
inline constexpr double longestFrameStep = 0.25;
