#include "app/gl_setup.h"
#include "gl/draw_state.h"
#include "objects/camera.h"
#include "objects/scene_object.h"
#include "objects/show.h"
#include "scene/scene_director.h"
#include "tests/app/headless/gl_test_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down what the director asks of it, and where light 1 was when it was drawn.
class RecordingObject : public SceneObject {
public:
    RecordingObject(std::string label, std::vector<std::string>& log) : label_(std::move(label)), log_(log) {}
    void update(const Show&, double) override { log_.push_back("update " + label_); }
    void draw(const Show&) override {
        log_.push_back("draw " + label_);
        glGetLightfv(GL_LIGHT1, GL_POSITION, lightAtDraw);
    }
    float lightAtDraw[4] = {};

private:
    std::string label_;
    std::vector<std::string>& log_;
};

class Director : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setupGL(surfaceWidth, surfaceHeight);
        environment.firstPass = {&sky};
        environment.postPass = {&flare};
        auto world = std::make_unique<World>();
        world->name = "world";
        world->objects = {&sun, &earth};
        world->firstPass = &environment.firstPass;
        world->postPass = &environment.postPass;
        worlds.push_back(std::make_unique<World>()); // the first world, not named "world"
        worlds.push_back(std::move(world));
        camera.makePath();
        camera.update(0);
    }

    std::vector<std::string> log;
    RecordingObject sky{"sky", log}, sun{"sun", log}, earth{"earth", log}, flare{"flare", log};
    Environment environment;
    WorldList worlds;
    SceneDirector director;
    Show show;
    Camera& camera = show.camera;
};

TEST_F(Director, ShowsTheWorldNamedWorldOrElseTheFirst) {
    director.chooseWorld(worlds);
    EXPECT_EQ(director.currentWorld(), worlds[1].get());
    worlds[1]->name = "other";
    director.chooseWorld(worlds);
    EXPECT_EQ(director.currentWorld(), worlds[0].get());
    director.chooseWorld(WorldList{});
    EXPECT_EQ(director.currentWorld(), nullptr);
    director.renderFrame(show); // nothing to draw, nothing to crash
    EXPECT_TRUE(log.empty());
}

TEST_F(Director, DrawsFirstPassThenWorldThenPostPassAndUpdatesWhatItLastDrew) {
    director.chooseWorld(worlds);
    // The first frame's update already moves every object, so nothing is drawn where its script left it.
    director.updateObjects(show, 0.1);
    director.renderFrame(show);
    EXPECT_EQ(log, (std::vector<std::string>{"update sky", "update sun", "update earth", "update flare",
                                             "draw sky", "draw sun", "draw earth", "draw flare"}));
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
}

TEST_F(Director, LightsTheSystemFromTheSunAndOtherWorldsFromAfar) {
    director.chooseWorld(worlds);
    worlds[1]->system = true;
    director.renderFrame(show);
    // Light positions are stored in eye coordinates: the Sun at the origin lands where the view puts it.
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    EXPECT_NEAR(sky.lightAtDraw[0], view[12], 1e-2);
    EXPECT_NEAR(sky.lightAtDraw[2], view[14], 1e-2);

    worlds[1]->system = false;
    director.renderFrame(show);
    float light0[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light0);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(sky.lightAtDraw[i], light0[i], 1e-2); // both lights at (0, 0, 1000000) in the world
    EXPECT_NEAR(sky.lightAtDraw[0], view[8] * 1000000 + view[12], 1.0);
}

} // namespace
