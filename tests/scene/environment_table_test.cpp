#include "scene/environment_table.h"

#include "objects/show.h"
#include "tests/data/test_archive.h"

#include <gtest/gtest.h>

namespace {

// Object scripts whose object lines are counted by the progress calls: two, one and three objects.
const ArchiveMembers objectScripts = {
    {"sky.txt", text("sphere\nbegin\nend\nsphere\nbegin\nend\n")},
    {"flares.txt", text("flare\nbegin\nend\n")},
    {"stars.txt", text("ps\nbegin\nend\nps\nbegin\nend\nps\nbegin\nend\n")},
};

} // namespace

class EnvironmentTableTest : public ::testing::Test {
protected:
    Show show;

    bool load(std::string_view envFile) {
        ArchiveMembers members = objectScripts;
        members.emplace_back("env.txt", text(envFile));
        TestArchive archive(members);
        show.files = ShowFiles(archive.path());
        return loadEnvironments(show, table, "env.txt", [this] { ++progressCalls; });
    }

    EnvironmentTable table;
    int progressCalls = 0;
};

TEST_F(EnvironmentTableTest, ReadsOneEnvironmentPerBlockWithItsPassScripts) {
    ASSERT_TRUE(load("a line outside any block\n"
                     "env space\n"
                     "firstpass sky.txt\n"
                     "postpass flares.txt\n"
                     "firstpass stars.txt\n"
                     "anything else\n"
                     "end\n"
                     "env empty\nend\n"
                     "env space\nend\n"
                     "env " +
                     std::string(30, 'L') +
                     "\nend\n"
                     "ENV_END\n"
                     "env after\nfirstpass sky.txt\nend\n"));
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0]->name, "space");
    EXPECT_EQ(table[1]->name, "empty");
    EXPECT_EQ(table[3]->name, std::string(19, 'L'));
    EXPECT_EQ(progressCalls, 6); // the three scripts of "space"; nothing after ENV_END

    EXPECT_EQ(findEnvironment(table, "space"), table[0].get()); // the first of two with the name
    EXPECT_EQ(findEnvironment(table, "Space"), nullptr);
    EXPECT_EQ(findEnvironment(table, "after"), nullptr);
}

TEST_F(EnvironmentTableTest, StopsAtTheEndOfTheDataDroppingAnUnfinishedBlock) {
    ASSERT_TRUE(load("env kept\nend\nenv cut\nfirstpass sky.txt"));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0]->name, "kept");
    EXPECT_EQ(progressCalls, 2);
}

TEST_F(EnvironmentTableTest, EmptyFilesAndMissingFilesGiveNoEnvironments) {
    EXPECT_TRUE(load("ENV_END\n"));
    EXPECT_TRUE(table.empty());
    TestArchive archive({});
    show.files = ShowFiles(archive.path());
    EXPECT_FALSE(loadEnvironments(show, table, "env.txt"));
    EXPECT_TRUE(table.empty());
}
