#pragma once

#include "tools/sdd/archive_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

// A file to be stored in an archive, read in chunks so that a file of any size costs one chunk: once for
// its size, CRC-32 and time when opened (the header comes before the data), then again as it is packed or
// written.
class StoredFile {
public:
    // Opens the file and reads it through. False, with `reason`, for what is no regular file, a file larger
    // than a member can be, or one that cannot be read whole.
    bool open(const std::filesystem::path& path, std::string& reason);

    // The next bytes of the file, filling `into`; false when there are not as many.
    bool read(std::span<std::uint8_t> into);
    // Back to the first byte, to read the file again.
    bool rewind();

    std::uint32_t size() const { return size_; }
    std::uint32_t crc() const { return crc_; }
    std::uint32_t time() const { return time_; } // the modification time, in MS-DOS form
    MemberAttributes attributes() const { return attributes_; } // its Unix mode

private:
    std::ifstream in_;
    std::uint32_t size_ = 0;
    std::uint32_t crc_ = 0;
    std::uint32_t time_ = defaultMemberTime;
    MemberAttributes attributes_;
};
