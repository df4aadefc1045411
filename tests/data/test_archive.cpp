#include "tests/data/test_archive.h"

#include "tests/temporary_folder.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

TestArchive::TestArchive(const ArchiveMembers& members) {
    folder_ = makeTemporaryFolder("heliox-images").string();
    if (folder_.empty())
        ADD_FAILURE() << "cannot make a temporary folder";
    ArchiveWriter writer;
    for (const auto& [name, bytes] : members)
        EXPECT_TRUE(writer.addStored(name, bytes)) << name;
    path_ = folder_ + "/data.sdd";
    EXPECT_TRUE(writer.save(path_));
}

TestArchive::~TestArchive() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}
