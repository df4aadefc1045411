#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using ArchiveMembers = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// A member's bytes given as text: the scripts and lists the tests store.
inline std::vector<std::uint8_t> text(std::string_view s) {
    return {s.begin(), s.end()};
}

// Stores the members in a fresh archive in a temporary folder (what `sdd a -m0` writes) and makes it the
// archive every ResourceFile reads, for as long as this object lives.
class TestArchive {
public:
    explicit TestArchive(const ArchiveMembers& members);
    ~TestArchive();
    TestArchive(const TestArchive&) = delete;
    TestArchive& operator=(const TestArchive&) = delete;

private:
    std::string folder_;
    std::string previousArchive_;
};
