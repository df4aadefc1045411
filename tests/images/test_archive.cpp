#include "tests/images/test_archive.h"

#include "data/resource_file.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>

TestArchive::TestArchive(const ArchiveMembers& members) : previousArchive_(resourceArchive()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "heliox-images-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot make a temporary folder";
    folder_ = pattern;
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
