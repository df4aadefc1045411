#pragma once

#include <cstdint>
#include <string>

// The largest member the reader extracts. No member of the saver's data comes near it; a larger size is
// taken for a damaged header and refused before any buffer is allocated, so the writer refuses it too.
inline constexpr std::uint32_t largestMemberSize = 256u << 20;

// Why an archive or one member could not be read.
enum class ExtractResult {
    ok,
    notAnArchive,
    truncatedHeader,
    badHeader,
    headerCrcMismatch,
    packedDataPastEnd,
    notFound,
    unsupportedVersion,
    encrypted,
    tooLarge,
    dataError,
    crcMismatch,
    // dataError and crcMismatch of a compressed member made by a method older than the decoder that read it
    olderMethodDataError,
    olderMethodCrcMismatch,
    solidPredecessorFailed,
    notAFile,      // only a folder entry has the name
    outsideFolder, // a show folder's link that leads out of it
    tooManyFiles,  // a show folder too large to walk
};

// A file header of the archive, as the walk finds it.
struct MemberHeader {
    std::string name; // as stored, up to its first zero byte (Unicode names keep only their plain part)
    std::string unicodePart; // rar::unicodeName: what follows that zero byte, the Unicode name, encoded
    std::uint16_t flags = 0;
    std::uint32_t packSize = 0;
    std::uint32_t unpSize = 0;
    std::uint8_t hostOs = 0;
    std::uint32_t fileCrc = 0;
    std::uint32_t fileTime = 0; // MS-DOS date and time
    std::uint8_t unpVer = 0;
    std::uint8_t method = 0; // rar::methodStored, or compressed
    std::uint32_t attributes = 0;
    bool solidContinuation = false; // goes on from the previous member's decoder state
    std::uint64_t headerOffset = 0; // where its header starts in the archive
    std::uint64_t dataOffset = 0;   // where its packed data starts in the archive

    // Not ok for a header that failed its check or was cut short: then only `name` (what could still be
    // read of it, perhaps nothing), `headerOffset` and `damagedBytes` (the stretch of the archive skipped
    // from there) are filled, and nothing of it is ever extracted.
    ExtractResult damage = ExtractResult::ok;
    std::uint64_t damagedBytes = 0;

    // A folder entry, which has no bytes of its own whatever its sizes say.
    bool isFolder() const;
};

// A short text for a result, for tools to print: "CRC mismatch", "not found", ...
const char* describe(ExtractResult result);
