#include "tests/data/test_archive.h"

#include "data/resource_file.h"
#include "tests/temporary_folder.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

TestArchive::TestArchive(const ArchiveMembers& members) : previousArchive_(resourceArchive()) {
    folder_ = makeTemporaryFolder("heliox-images").string();
    if (folder_.empty())
        ADD_FAILURE() << "cannot make a temporary folder";
    ArchiveWriter writer;
    for (const auto& [name, bytes] : members)
        EXPECT_TRUE(writer.addStored(name, bytes)) << name;
    const std::string path = folder_ + "/data.sdd";
    EXPECT_TRUE(writer.save(path));
    setResourceArchive(path);
}

TestArchive::~TestArchive() {
    setResourceArchive(previousArchive_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}
