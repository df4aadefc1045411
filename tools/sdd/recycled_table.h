#pragma once

#include <cstdint>
#include <vector>

// A table of 2^16 entries, every one `fill` to begin with, that the packer needs afresh for every member.
// Clearing 256 KiB for each of a tree's thousands of small files took more instructions than packing them
// at -m3 (a sixth of all, on a folder of headers), so a table given back is kept for the thread's next
// member, and its user resets only the entries it may have set: those of the positions of its data.
class RecycledTable {
public:
    static constexpr std::size_t size = std::size_t{1} << 16;

    explicit RecycledTable(std::uint32_t fill);
    ~RecycledTable(); // back to the thread's spares: every entry must be `fill` again by then
    RecycledTable(const RecycledTable&) = delete;
    RecycledTable& operator=(const RecycledTable&) = delete;

    std::vector<std::uint32_t>& values() { return values_; }
    // Sets every entry to `fill`, for a user that cannot tell which it set.
    void resetAll();

private:
    std::uint32_t fill_;
    std::vector<std::uint32_t> values_;
};
