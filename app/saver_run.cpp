#include "app/saver_run.h"

#include "app/gl_setup.h"
#include "base/frame_clock.h"
#include "base/load_stop.h"
#include "base/user_message.h"
#include "base/viewport.h"
#include "data/texture_registry.h"
#include "gl/draw_state.h"
#include "math/random.h"
#include "objects/scene_object.h"
#include "objects/shared_meshes.h"
#include "objects/wire_sphere.h"
#include "overlay/frame_overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SaverRun::SaverRun(const Settings& userSettings, int width, int height, SaverHooks hooks,
                   const std::string& showPath)
    : settings_(userSettings), hooks_(std::move(hooks)), show_(showPath) {
    setViewport(width, height);
    const char* check = std::getenv("HELIOX_CHECK_GL");
    checkingDrawState_ = check && std::strcmp(check, "1") == 0;
}

bool SaverRun::load(std::optional<std::uint32_t> seed) {
    readCounterFrequency();
    setLoadStopCheck(hooks_.stopLoading);
    // Only a run that shows the loading screen needs its pictures (a render shows none).
    if (hooks_.loadingProgress)
        loadingScreen_ = loadLoadingScreen(show_.files);
    setupGL(viewport().width, viewport().height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    loadTextureList(show_, "texture.txt", hooks_.loadingProgress);
    show_.glyphs = buildGlyphs(show_.textures);
    if (!loadStopRequested())
        loadSharedMeshes(show_);
    show_.camera.position = {0, 0, 1500};
    loadWireSphereData(show_);
    loadEnvironments(show_, environments_, "env.txt", hooks_.loadingProgress);
    loadWorlds(show_, worlds_, environments_, "worlds.txt", hooks_.loadingProgress);
    stoppedWhileLoading_ = loadStopRequested();
    setLoadStopCheck({});
    // What was left out of a load the user ended is of no interest any more.
    if (stoppedWhileLoading_)
        return false;
    for (const std::string& message : show_.budget.refusalMessages())
        showUserMessage("Error", message);
    if (hooks_.startMusic)
        hooks_.startMusic(show_);

    frameClock.start();
    seedRandom(seed ? *seed : static_cast<std::uint32_t>(frameClock.startCount()));
    fpsClock.start();
    speedFactor_ = static_cast<float>(settings_.speed) / 50.0f + 0.5f;
    director_.chooseWorld(worlds_);
    director_.drawOverlay = [this] { drawFrameOverlay(); };
    if (checkingDrawState_) {
        checkDrawState("loading");
        director_.afterEachDraw = [this](const SceneObject& object) {
            checkDrawState(describeObject(object));
        };
    }
    show_.camera.makePath();
    return director_.currentWorld() != nullptr;
}

bool SaverRun::frame(std::optional<double> fixedDt) {
    if (exit_.takePointerMove() && hooks_.recenterPointer)
        hooks_.recenterPointer();
    const bool running = !exit_.shouldExit(settings_.mouseExit);

    const double measured = std::min(frameClock.elapsed(), longestFrameStep);
    frameClock.start();
    const double dt = fixedDt ? *fixedDt : measured;
    fixedStep_ = fixedDt;
    if (fixedDt)
        fixedStepsInFpsWindow_ += *fixedDt;

    Camera& camera = show_.camera;
    camera.update(dt * speedFactor_);
    if (heldCamera_) {
        camera.position = camera.eye = heldCamera_->first;
        camera.forward = camera.forwardCopy = normalize(heldCamera_->second - heldCamera_->first);
        camera.up = {0, -1, 0};
    }
    show_.worldTime += dt;
    director_.updateObjects(show_, dt);
    director_.renderFrame(show_);
    return running;
}

void SaverRun::resize(int width, int height) {
    setViewport(width, height);
    glViewport(0, 0, width, height);
    setProjection(width, height);
}

void SaverRun::drawFrameOverlay() {
    const double fpsWindow = fixedStep_ ? fixedStepsInFpsWindow_ : fpsClock.elapsed();
    if (frameCounter_.frameEnded(fpsWindow)) {
        fpsClock.start();
        fixedStepsInFpsWindow_ = 0;
        exit_.clearTravel();
    }
    drawOverlay(settings_, show_.glyphs, frameCounter_.value(),
                hooks_.clockTime ? hooks_.clockTime() : localClockTime());
    if (checkingDrawState_)
        checkDrawState("the overlay");
}

void SaverRun::checkDrawState(const std::string& drawnLast) {
    const std::vector<std::string> differences = drawStateDifferences();
    if (differences.empty())
        return;
    for (const std::string& difference : differences) {
        const std::string report = "GL state after " + drawnLast + ": " + difference;
        if (reportedDifferences_.insert(report).second)
            std::fprintf(stderr, "heliox: %s\n", report.c_str());
    }
    establishDrawState();
}
