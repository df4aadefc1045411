#include "scene/world_list.h"

#include "objects/show.h"
#include "tests/data/test_archive.h"

#include <gtest/gtest.h>

namespace {

EnvironmentTable twoEnvironments() {
    EnvironmentTable table;
    for (const char* name : {"space", "elope"}) {
        table.push_back(std::make_unique<Environment>());
        table.back()->name = name;
    }
    return table;
}

} // namespace

class WorldListTest : public ::testing::Test {
protected:
    Show show;

    bool load(std::string_view worldsFile) {
        TestArchive archive({{"worlds.txt", text(worldsFile)},
                             {"solar.txt", text("sphere\nbegin\nend\nmesh\nbegin\nend\n")}});
        show.files = ShowFiles(archive.path());
        return loadWorlds(show, worlds, environments, "worlds.txt", [this] { ++progressCalls; });
    }

    EnvironmentTable environments = twoEnvironments();
    WorldList worlds;
    int progressCalls = 0;
};

TEST_F(WorldListTest, ReadsEveryKeywordOfABlock) {
    ASSERT_TRUE(load("world world\n"
                     "scenedir forward and more\n"
                     "env space\n"
                     "objects solar.txt\n"
                     "anything else\n"
                     "system\n"
                     "end\n"
                     "world plain\nend\n"
                     "WORLD_END\n"
                     "world after\nend\n"));
    ASSERT_EQ(worlds.size(), 2u);
    const World& world = *worlds[0];
    EXPECT_EQ(world.name, "world");
    EXPECT_EQ(world.sceneDirection, "forward");
    EXPECT_EQ(world.firstPass, &environments[0]->firstPass);
    EXPECT_EQ(world.postPass, &environments[0]->postPass);
    EXPECT_TRUE(world.system);
    EXPECT_EQ(progressCalls, 2); // the two object lines of solar.txt

    const World& plain = *worlds[1];
    EXPECT_FALSE(plain.system);
    EXPECT_EQ(plain.sceneDirection, "");
}

TEST_F(WorldListTest, WorldsWithoutAKnownEnvironmentGetEmptyPassLists) {
    ASSERT_TRUE(load("world none\nend\n"
                     "world unknown\nenv space\nenv nowhere\nend\n"
                     "world bare\nenv\nend\n"
                     "world prefix\nenvelope\nend\n"));
    ASSERT_EQ(worlds.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(worlds[i]->name);
        ASSERT_NE(worlds[i]->firstPass, nullptr);
        ASSERT_NE(worlds[i]->postPass, nullptr);
        EXPECT_TRUE(worlds[i]->firstPass->empty());
        EXPECT_TRUE(worlds[i]->postPass->empty());
        EXPECT_NE(worlds[i]->firstPass, &environments[0]->firstPass);
    }
    // Any line starting with "env" names an environment: "envelope" names "elope".
    EXPECT_EQ(worlds[3]->firstPass, &environments[1]->firstPass);
}

TEST_F(WorldListTest, NamesAreCutToTheirFieldsAndLookedUpExactly) {
    ASSERT_TRUE(load("world\nend\n"
                     "world twin\nsystem\nend\n"
                     "world twin\nend\n"
                     "world " +
                     std::string(30, 'W') + "\nscenedir " + std::string(60, 'd') + "\nend\n"));
    ASSERT_EQ(worlds.size(), 4u);
    EXPECT_EQ(worlds[0]->name, " "); // "world" without a word keeps the default
    EXPECT_EQ(findWorld(worlds, "twin"), worlds[1].get());
    EXPECT_EQ(findWorld(worlds, "Twin"), nullptr);
    EXPECT_EQ(worlds[3]->name, std::string(19, 'W'));
    EXPECT_EQ(worlds[3]->sceneDirection, std::string(49, 'd'));
}

TEST_F(WorldListTest, StopsAtTheEndOfTheDataDroppingAnUnfinishedBlock) {
    ASSERT_TRUE(load("world kept\nend\nworld cut\nobjects solar.txt\nsystem"));
    ASSERT_EQ(worlds.size(), 1u);
    EXPECT_EQ(worlds[0]->name, "kept");
    EXPECT_EQ(progressCalls, 2);
}

TEST_F(WorldListTest, EmptyAndMissingFilesGiveNoWorlds) {
    EXPECT_TRUE(load("WORLD_END\n"));
    EXPECT_TRUE(worlds.empty());
    TestArchive archive({});
    show.files = ShowFiles(archive.path());
    EXPECT_FALSE(loadWorlds(show, worlds, environments, "worlds.txt"));
    EXPECT_TRUE(worlds.empty());
}
