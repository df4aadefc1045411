#include "data/resource_file.h"

#include "tests/temporary_folder.h"
#include "tests/text_bytes.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace {

// Each test gets its own folder holding "data.sdd" with the given members.
class ResourceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = makeTemporaryFolder("heliox-resource");
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string archive(const std::string& file = "data.sdd") const { return (folder_ / file).string(); }

    void writeArchive(std::initializer_list<std::pair<std::string_view, std::string_view>> members,
                      const std::string& file = "data.sdd") {
        ArchiveWriter archive;
        for (const auto& [name, contents] : members)
            ASSERT_TRUE(archive.addStored(name, text(contents)));
        ASSERT_TRUE(archive.save((folder_ / file).string()));
    }

    // A file holding `text` as its one member.
    void openText(ResourceFile& file, std::string_view text) {
        writeArchive({{"text.txt", text}});
        ASSERT_TRUE(file.open("text.txt", archive()));
    }

    std::filesystem::path folder_;
};

TEST_F(ResourceFileTest, OpensAMemberOfTheShowsArchive) {
    writeArchive({{"scripts\\worlds.txt", "world"}});
    ResourceFile file;
    ASSERT_TRUE(file.open("scripts/WORLDS.TXT", archive()));
    EXPECT_EQ(file.name(), "scripts/WORLDS.TXT");
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), "world");
    EXPECT_EQ(file.position(), 0u);
    EXPECT_FALSE(file.atEnd());

    file.close();
    EXPECT_EQ(file.data(), nullptr);
    EXPECT_EQ(file.size(), 0u);
    EXPECT_TRUE(file.atEnd());
}

TEST_F(ResourceFileTest, OpensFromTheShowItIsGiven) {
    writeArchive({{"a.txt", "other"}}, "elsewhere.sdd");
    ResourceFile file;
    EXPECT_FALSE(file.open("a.txt", archive()));
    ShowFiles elsewhere(archive("elsewhere.sdd"));
    EXPECT_TRUE(file.open("a.txt", elsewhere));
    EXPECT_EQ(file.size(), 5u);
}

TEST_F(ResourceFileTest, AFailedOpenLeavesAnEmptyStream) {
    ResourceFile missingArchive;
    EXPECT_FALSE(missingArchive.open("a.txt", archive()));
    writeArchive({{"a.txt", "x"}});
    ResourceFile missingMember;
    EXPECT_FALSE(missingMember.open("b.txt", archive()));

    for (ResourceFile* file : {&missingArchive, &missingMember}) {
        EXPECT_EQ(file->data(), nullptr);
        EXPECT_EQ(file->size(), 0u);
        EXPECT_TRUE(file->atEnd());
        char line[8] = "junk";
        EXPECT_FALSE(file->readLine(line, sizeof line));
        EXPECT_STREQ(line, "");
        char byte = 'q';
        EXPECT_EQ(file->read(&byte, 1), 0u);
        EXPECT_EQ(byte, 0);
    }
}

TEST_F(ResourceFileTest, ReadLineReportsWhetherTheLineEndedWithALineFeed) {
    ResourceFile file;
    openText(file, "ab\nlast");
    char line[16];
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "ab");
    EXPECT_FALSE(file.atEnd());
    EXPECT_FALSE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "last");
    EXPECT_TRUE(file.atEnd());
    EXPECT_FALSE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
}

TEST_F(ResourceFileTest, ReadLineAfterTheLastLineFeedGivesAnEmptyLine) {
    ResourceFile file;
    openText(file, "ab\n");
    char line[16];
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "ab");
    EXPECT_FALSE(file.atEnd());
    EXPECT_FALSE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(file.atEnd());
}

TEST_F(ResourceFileTest, ReadLineSkipsLeadingSpacesOnlyAndDropsCarriageReturns) {
    ResourceFile file;
    openText(file, "  x\r\n \ta b \r\n   ");
    char line[16];
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "x");
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "\ta b ");
    EXPECT_FALSE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
}

TEST_F(ResourceFileTest, ReadLineCutsLongLinesAndConsumesTheirRest) {
    ResourceFile file;
    openText(file, "abcdefgh\nnext\n");
    char line[4];
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "abc");
    EXPECT_TRUE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "nex");
}

TEST_F(ResourceFileTest, ReadNeverGoesPastTheData) {
    ResourceFile file;
    openText(file, "12345");
    char bytes[4];
    EXPECT_EQ(file.read(bytes, 2), 2u);
    EXPECT_EQ(std::string_view(bytes, 2), "12");
    file.seek(3, 1);
    EXPECT_EQ(file.position(), 5u);
    EXPECT_FALSE(file.atEnd());

    file.seek(2, 2);
    EXPECT_EQ(file.position(), 3u);
    EXPECT_EQ(file.read(bytes, 4), 2u);
    EXPECT_EQ(std::string_view(bytes, 4), std::string_view("45\0\0", 4));
    EXPECT_EQ(file.position(), 5u);
    EXPECT_TRUE(file.atEnd());

    file.seek(0, 0);
    EXPECT_FALSE(file.atEnd());
    file.seek(0, 2);
    EXPECT_EQ(file.position(), 5u);
    file.seek(100, 0);
    EXPECT_EQ(file.position(), 5u);
    EXPECT_TRUE(file.atEnd());
    file.seek(-100, 1);
    EXPECT_EQ(file.position(), 0u);
}

} // namespace
