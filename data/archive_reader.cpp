#include "data/archive_reader.h"

#include "data/archive_walk.h"
#include "data/crc32.h"
#include "data/rar20_unpacker.h"

#include <algorithm>

namespace {

constexpr std::uint16_t encryptedFlag = 0x0004;
constexpr std::uint8_t storedMethod = 0x30;
constexpr std::uint8_t oldestVersion = 13;
constexpr std::uint8_t newestVersion = 20;

// Extracts members in archive order with one unpacker, so each solid member finds the state its predecessor
// left. A compressed member that could not be decoded leaves that state unfit to go on from, and the solid
// members after it fail too instead of decoding from a window that was never filled. A member that decoded
// whole but whose CRC is wrong fails alone: the decoder followed its stream to the end, so the state is the
// one the packer left, and only that member's bytes (or its stored CRC) are in doubt.
class MemberExtractor {
public:
    explicit MemberExtractor(ArchiveSource& source) : source_(source) {}

    // Extracts one member. Its bytes go to `bytes` when given, which is empty after a failure; without it
    // a compressed member is still decoded and checked, as the solid members after it need.
    ExtractResult extract(const MemberHeader& header, std::vector<std::uint8_t>* bytes) {
        std::vector<std::uint8_t> discarded;
        std::vector<std::uint8_t>& out = bytes ? *bytes : discarded;
        out.clear();
        if (header.damage != ExtractResult::ok) {
            // Whatever member was there, the solid stream after it is broken.
            unpacker_.discardState();
            return header.damage;
        }
        const ExtractResult result = extractInto(header, out, bytes != nullptr);
        if (result != ExtractResult::ok) {
            out = {};
            if (header.method != storedMethod && result != ExtractResult::crcMismatch)
                unpacker_.discardState();
        }
        return result;
    }

private:
    ExtractResult extractInto(const MemberHeader& header, std::vector<std::uint8_t>& out, bool keep) {
        if (header.unpVer < oldestVersion || header.unpVer > newestVersion)
            return ExtractResult::unsupportedVersion;
        if (header.flags & encryptedFlag)
            return ExtractResult::encrypted;
        if (header.unpSize > largestMemberSize)
            return ExtractResult::tooLarge;
        const bool stored = header.method == storedMethod;
        // Stored bytes are the member itself: fewer of them than its size is damage, not something to
        // make up with zeros.
        if (stored && header.packSize < header.unpSize)
            return ExtractResult::dataError;
        if (!stored && header.solidContinuation && !unpacker_.canContinue())
            return ExtractResult::solidPredecessorFailed;

        std::vector<std::uint8_t> packed(header.packSize);
        if (!source_.read(header.dataOffset, packed))
            return ExtractResult::packedDataPastEnd;

        std::uint32_t crc = 0;
        if (stored) {
            out.assign(packed.begin(), packed.begin() + header.unpSize);
            crc = crc32(out);
        } else {
            // Room for the whole member up front, so it is not copied again and again as it grows; but
            // no more than the packed bits can decode to, which a damaged header cannot inflate.
            if (keep)
                out.reserve(std::min<std::uint64_t>(header.unpSize, std::uint64_t{header.packSize} * 8 *
                                                                        Rar20Unpacker::longestMatch));
            const auto sink = [&](std::span<const std::uint8_t> piece) {
                crc = crc32(piece, crc);
                if (keep)
                    out.insert(out.end(), piece.begin(), piece.end());
            };
            if (!unpacker_.unpack(packed, header.unpSize, header.solidContinuation, sink))
                return ExtractResult::dataError;
        }
        return crc == header.fileCrc ? ExtractResult::ok : ExtractResult::crcMismatch;
    }

    ArchiveSource& source_;
    Rar20Unpacker unpacker_;
};

char normalised(char c) {
    if (c == '\\' || c == '/')
        return '_';
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool memberNameMatches(std::string_view wanted, std::string_view stored) {
    return std::ranges::equal(wanted, stored, [](char a, char b) { return normalised(a) == normalised(b); });
}

ExtractResult extractMemberWithReason(std::string_view memberName, ArchiveSource& archive,
                                      std::vector<std::uint8_t>& out) {
    out = {};
    ArchiveWalk walk(archive);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return start;
    MemberExtractor extractor(archive);
    MemberHeader header;
    while (walk.next(header)) {
        if (memberNameMatches(memberName, header.name))
            return extractor.extract(header, &out);
        // The members before the wanted one of a solid archive fill the window it goes on from.
        if (walk.solid() && header.method != storedMethod)
            extractor.extract(header, nullptr);
    }
    return walk.error() == ExtractResult::ok ? ExtractResult::notFound : walk.error();
}

bool ExtractMember(std::string_view memberName, std::span<const std::uint8_t> archive,
                   std::vector<std::uint8_t>& out) {
    MemoryArchiveSource source(archive);
    return extractMemberWithReason(memberName, source, out) == ExtractResult::ok;
}

bool ExtractMember(std::string_view memberName, const std::string& archivePath,
                   std::vector<std::uint8_t>& out) {
    FileArchiveSource source(archivePath);
    if (!source.isOpen()) {
        out = {};
        return false;
    }
    return extractMemberWithReason(memberName, source, out) == ExtractResult::ok;
}

ExtractResult listMembers(ArchiveSource& archive, std::vector<MemberHeader>& members,
                          std::uint64_t* trailingBytes) {
    members.clear();
    ArchiveWalk walk(archive);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return start;
    MemberHeader header;
    while (walk.next(header))
        members.push_back(header);
    if (trailingBytes)
        *trailingBytes = walk.trailingBytes();
    return walk.error();
}

ExtractResult extractAll(ArchiveSource& archive, const MemberCallback& callback,
                         std::uint64_t* trailingBytes) {
    ArchiveWalk walk(archive);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return start;
    MemberExtractor extractor(archive);
    MemberHeader header;
    std::vector<std::uint8_t> bytes;
    while (walk.next(header)) {
        const ExtractResult result = extractor.extract(header, &bytes);
        callback(header, result, bytes);
    }
    if (trailingBytes)
        *trailingBytes = walk.trailingBytes();
    return walk.error();
}
