#pragma once

#include "tests/text_bytes.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using ArchiveMembers = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// Stores the members in a fresh archive in a temporary folder (what `sdd a -m0` writes), there for as long as
// this object lives.
class TestArchive {
public:
    explicit TestArchive(const ArchiveMembers& members);
    ~TestArchive();
    TestArchive(const TestArchive&) = delete;
    TestArchive& operator=(const TestArchive&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};
