#pragma once

#include "tools/sdd/archive_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include <sys/stat.h>

// A file to be stored in an archive, read in chunks so that a file of any size costs one chunk: where its
// header, which comes before its bytes, must hold its CRC-32 (it is stored as it is), once for that when
// opened and again as it is written; where it is packed, whose header waits for the packed stream anyway,
// only as it is packed, and its CRC-32 is found then.
class StoredFile {
public:
    // Opens the file and, with `findCrc`, reads it through. False, with `reason`, for what is no regular
    // file, a file larger than a member can be, or one that cannot be read whole.
    bool open(const std::filesystem::path& path, std::string& reason, bool findCrc = true);

    // Whether the file's size and times are still those it had when opened: a file read only once has
    // nothing else to be compared with, and one that changed while it was read may be torn.
    bool unchanged() const;

    // The next bytes of the file, filling `into`; false when there are not as many.
    bool read(std::span<std::uint8_t> into);
    // Back to the first byte, to read the file again.
    bool rewind();

    std::uint32_t size() const { return size_; }
    std::uint32_t crc() const { return crc_; }                  // found when opened with findCrc
    std::uint32_t time() const { return time_; }                // the modification time, in MS-DOS form
    MemberAttributes attributes() const { return attributes_; } // its Unix mode

private:
    std::filesystem::path path_;
    struct stat opened_ {};
    std::ifstream in_;
    std::uint32_t size_ = 0;
    std::uint32_t crc_ = 0;
    std::uint32_t time_ = defaultMemberTime;
    MemberAttributes attributes_;
};
