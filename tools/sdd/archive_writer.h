#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"
#include "data/rar20_format.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Member time in MS-DOS format, as RAR 2.x headers store it: date in the high 16 bits, time of day
// (two-second steps) in the low 16. Years outside 1980..2107 are clamped, since the field cannot hold them.
constexpr std::uint32_t dosTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    const int yearsSince1980 = year < 1980 ? 0 : (year > 2107 ? 127 : year - 1980);
    const auto date = static_cast<std::uint32_t>((yearsSince1980 << 9) | (month << 5) | day);
    const auto time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return date << 16 | time;
}

// A fixed time for members, so the same input always gives byte-identical archives.
inline constexpr std::uint32_t defaultMemberTime = dosTime(2000, 1, 1);

// Who wrote a member and its attributes as that system keeps them: MS-DOS attributes for Windows (the archive
// bit by default), the whole st_mode for Unix, as the archivers of this format write it on each. A folder is
// written as a folder entry, with no data.
struct MemberAttributes {
    std::uint8_t hostOs = rar::hostWin32;
    std::uint32_t attributes = rar::dosArchiveAttribute;

    static constexpr MemberAttributes ofUnixMode(std::uint32_t mode) { return {rar::hostUnix, mode}; }
    bool folder() const {
        return hostOs == rar::hostUnix ? (attributes & 0170000) == 0040000
                                       : (attributes & rar::dosFolderAttribute) != 0;
    }
};

// Where an archive's bytes go as they are written, in order; false when they could not be taken.
using ArchiveOutput = std::function<bool(std::span<const std::uint8_t>)>;

// Builds a RAR 2.x archive, in memory or straight into an output: the marker, the main header, then one file
// header and its data per member. Stored members are copied as they are; packed members arrive as finished
// RAR 2.0 streams made elsewhere. In a solid archive every packed member after the first packed one continues
// the window and tables the packed members before it left; stored members take no part in that chain.
class ArchiveWriter {
public:
    // In memory, kept in bytes().
    explicit ArchiveWriter(bool solid = false);
    // Into `output`, each block as it is added; bytes() stays empty. good() tells whether it took them all.
    ArchiveWriter(bool solid, ArchiveOutput output);

    // Names use `\` between folders; `/` is turned into `\`. A name may go on after a zero byte with its
    // Unicode form, encoded as an archive read back holds it; it is written as it is, with rar::unicodeName.
    // Fails (and adds nothing) for an empty name, a name too long for the header, or data whose size does not
    // fit in 32 bits. A folder (see MemberAttributes) takes no data.
    bool addStored(std::string_view name, std::span<const std::uint8_t> data,
                   std::uint32_t time = defaultMemberTime, MemberAttributes attributes = {});

    // `packed` is a RAR 2.0 stream that decodes to `unpackedSize` bytes whose CRC-32 is `unpackedCrc`.
    // Fails for a method outside rar::methodFastest..methodBest and for the same reasons as addStored.
    bool addPacked(std::string_view name, std::span<const std::uint8_t> packed, std::uint32_t unpackedSize,
                   std::uint32_t unpackedCrc, std::uint8_t method, std::uint32_t time = defaultMemberTime,
                   MemberAttributes attributes = {});

    // Reads the next bytes of a member into the span, filling it; false when they cannot be read.
    using MemberReader = std::function<bool(std::span<std::uint8_t>)>;

    // Stores a member of `size` bytes whose CRC-32 is `crc`, read a chunk at a time from `read`, so that
    // a member of any size costs one chunk of memory. Fails, and the archive being written is then
    // unusable, when the bytes cannot be read or do not have that CRC (the file changed since).
    bool addStoredFrom(std::string_view name, std::uint32_t size, std::uint32_t crc, std::uint32_t time,
                       MemberAttributes attributes, const MemberReader& read);

    // A packed member as addPacked, its `packedSize` bytes of packed stream read a chunk at a time from
    // `read`. Fails for the reasons addPacked gives, and when the bytes cannot be read (the archive being
    // written is then unusable).
    bool addPackedFrom(std::string_view name, std::uint32_t packedSize, std::uint32_t unpackedSize,
                       std::uint32_t unpackedCrc, std::uint8_t method, std::uint32_t time,
                       MemberAttributes attributes, const MemberReader& read);

    // Copies a member of another archive as it is there, header and packed data, so it keeps its method
    // and everything else its header says. Only into an archive that is not solid, and only members that
    // are no solid continuation (they would need the members before them): fails, adding nothing, for
    // those. Fails too when the bytes cannot be read, and the archive being written is then unusable.
    bool addCopied(ArchiveSource& source, const MemberHeader& header);

    // Whether a member can be stored under this name: not empty, and short enough for the header.
    static bool acceptsName(std::string_view name);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    bool good() const { return good_; }

    // Writes the archive to a file, replacing it. False when the file cannot be written completely.
    bool save(const std::string& path) const;

private:
    // Writes the header of a member whose data is `dataSize` bytes, and `data`: all of them, or none when
    // they follow.
    bool addMember(std::string_view name, std::span<const std::uint8_t> data, std::uint32_t unpackedSize,
                   std::uint32_t unpackedCrc, std::uint8_t method, std::uint32_t time,
                   MemberAttributes attributes, std::size_t dataSize);

    void put(std::span<const std::uint8_t> bytes);
    // Puts `size` bytes from `read`, a chunk at a time, and their CRC-32 into `crc` when given. False when
    // they cannot be read.
    bool putFrom(std::uint32_t size, const MemberReader& read, std::uint32_t* crc);

    bool solid_;
    bool hasPackedMembers_ = false;
    ArchiveOutput output_; // none: into bytes_
    std::vector<std::uint8_t> bytes_;
    bool good_ = true;
};
