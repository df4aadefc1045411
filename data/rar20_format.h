#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The RAR 2.x container, as both the reader and sdd's writer see it: the marker, the blocks and their
// headers, the flags, host systems, methods and versions a file header carries. Every number of the layout
// is here once, so a reader and a writer that disagree cannot both compile. The compression method's own
// tables (rar20_tables.h) are not the container's and live with the unpacker.

namespace rar {

// Every archive starts with these bytes, a block of their own that the main header follows.
inline constexpr std::array<std::uint8_t, 7> marker{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
// The marker of archives from the format's first versions, whose blocks follow it the same way.
inline constexpr std::array<std::uint8_t, 7> oldMarker{0x55, 0x6E, 0x69, 0x71, 0x75, 0x45, 0x21};
inline constexpr std::size_t markerSize = marker.size();

// Every block header starts with HEAD_CRC (the low 16 bits of the CRC-32 of the rest of the header),
// HEAD_TYPE, HEAD_FLAGS and HEAD_SIZE; a long block then gives the size of the data after the header.
inline constexpr std::size_t prefixSize = 7;
inline constexpr std::size_t mainHeaderSize = 13;
inline constexpr std::size_t fileHeaderSize = 32; // before the name

// HEAD_TYPE
inline constexpr std::uint8_t markerType = 0x72;
inline constexpr std::uint8_t mainType = 0x73;
inline constexpr std::uint8_t fileType = 0x74;
inline constexpr std::uint8_t oldSubType = 0x77; // an old-style sub-block: its HEAD_CRC covers its data too
inline constexpr std::uint8_t endType = 0x7B;    // nothing after it belongs to the archive

// HEAD_FLAGS of any block.
inline constexpr std::uint16_t longBlock = 0x8000; // a data size follows HEAD_SIZE, the data the header

// HEAD_FLAGS of the main header.
inline constexpr std::uint16_t mainHasComment = 0x0002; // an old-style archive comment inside the header
inline constexpr std::uint16_t solidArchive = 0x0008;

// HEAD_FLAGS of a file header.
inline constexpr std::uint16_t encrypted = 0x0004;
inline constexpr std::uint16_t fileHasComment = 0x0008;    // an old-style file comment after the name
inline constexpr std::uint16_t solidContinuation = 0x0010; // goes on from the previous member's decoder state
// Bits 5..7 give the window the member was packed with; a value of 4 is 1 MiB, the window RAR 2.0 streams
// are decoded with. Other unpackers size their window from this field, so a smaller value would break
// long-distance matches there. All three bits set mark a folder entry instead.
inline constexpr std::uint16_t dictionary1MiB = 0x0080;
inline constexpr std::uint16_t folderEntry = 0x00E0;
// The name goes on after a zero byte with its 16-bit Unicode form, encoded.
inline constexpr std::uint16_t unicodeName = 0x0200;

// Where a header's fields lie, from its start: the first four in every block, the data size in every long
// block (in a file header, the packed size), the rest in file headers, whose name follows at fileHeaderSize.
namespace field {
inline constexpr std::size_t headCrc = 0;
inline constexpr std::size_t type = 2;
inline constexpr std::size_t flags = 3;
inline constexpr std::size_t headSize = 5;
inline constexpr std::size_t packSize = 7;
inline constexpr std::size_t unpSize = 11;
inline constexpr std::size_t hostOs = 15;
inline constexpr std::size_t fileCrc = 16;
inline constexpr std::size_t fileTime = 20;
inline constexpr std::size_t unpVer = 24;
inline constexpr std::size_t method = 25;
inline constexpr std::size_t nameSize = 26;
inline constexpr std::size_t attributes = 28;
} // namespace field

// The system a member was archived on, which says how to read its attributes: MS-DOS attributes for the
// first three, the whole st_mode for Unix.
inline constexpr std::uint8_t hostMsDos = 0;
inline constexpr std::uint8_t hostOs2 = 1;
inline constexpr std::uint8_t hostWin32 = 2;
inline constexpr std::uint8_t hostUnix = 3;

// MS-DOS attributes the archive keeps and sets.
inline constexpr std::uint32_t dosFolderAttribute = 0x10;
inline constexpr std::uint32_t dosArchiveAttribute = 0x20; // "changed since the last backup": every new file

// The method byte: stored as it is, or packed, from the fastest to the best of the levels, which all decode
// the same way.
inline constexpr std::uint8_t methodStored = 0x30;
inline constexpr std::uint8_t methodFastest = 0x31;
inline constexpr std::uint8_t methodBest = 0x35;

// The version needed to extract a member, ten times the archiver's: 13 is 1.3, the format's first.
inline constexpr std::uint8_t oldestVersion = 13;
// What the RAR 2.0 method needs, and what the writer marks every member with.
inline constexpr std::uint8_t version20 = 20;
// The newest version whose file headers keep this layout; a header of a later version is no header of ours.
inline constexpr std::uint8_t newestHeaderVersion = 29;

// Which decoder reads a member, by the version it needs. Members of 1.3 and 1.5 go to the 2.0 decoder, as
// readers of this format have always done: a stored one comes out whole, but a compressed one made by an
// older method may not decode. A new method is a row here and a decoder of its own in the reader.
enum class Decoder { none, rar20 };

struct DecoderChoice {
    std::uint8_t oldestVersion;
    std::uint8_t newestVersion;
    Decoder decoder;
    bool olderMethod; // the decoder is not the one these versions packed with; a failure may mean that
};

inline constexpr DecoderChoice decoderChoices[] = {
    {oldestVersion, version20 - 1, Decoder::rar20, true},
    {version20, version20, Decoder::rar20, false},
};

// The choice for a member needing `version`; Decoder::none for a version no row takes.
constexpr DecoderChoice decoderFor(std::uint8_t version) {
    for (const DecoderChoice& choice : decoderChoices)
        if (version >= choice.oldestVersion && version <= choice.newestVersion)
            return choice;
    return {version, version, Decoder::none, false};
}

} // namespace rar
