#include "data/archive_reader.h"

#include "data/archive_walk.h"
#include "data/crc32.h"
#include "data/rar20_format.h"
#include "data/rar20_unpacker.h"

#include <algorithm>

namespace {

// Extracts members in archive order with one unpacker, so each solid member finds the state its predecessor
// left. A compressed member that could not be decoded leaves that state unfit to go on from, and the solid
// members after it fail too instead of decoding from a window that was never filled. A member that decoded
// whole but whose CRC is wrong fails alone: the decoder followed its stream to the end, so the state is the
// one the packer left, and only that member's bytes (or its stored CRC) are in doubt.
class MemberExtractor {
public:
    explicit MemberExtractor(ArchiveSource& source) : source_(source) {}

    // Extracts one member, handing its bytes to `sink` in pieces as they come when it is given; without it
    // a compressed member is still decoded and checked, as the solid members after it need. After a
    // failure the sink may have had part of the member.
    ExtractResult extract(const MemberHeader& header, const ByteSink& sink) {
        if (header.damage != ExtractResult::ok) {
            // Whatever member was there, the solid stream after it is broken.
            unpacker_.discardState();
            return header.damage;
        }
        const rar::DecoderChoice choice = rar::decoderFor(header.unpVer);
        const ExtractResult result = extractInto(header, choice.decoder, sink);
        const bool stored = header.method == rar::methodStored;
        if (result != ExtractResult::ok && !stored && result != ExtractResult::crcMismatch)
            unpacker_.discardState();
        // A compressed member of an older method that fails may be one this decoder cannot read rather than a
        // damaged one: say so, or the user is left looking for damage that is not there.
        if (choice.olderMethod && !stored && result == ExtractResult::crcMismatch)
            return ExtractResult::olderMethodCrcMismatch;
        if (choice.olderMethod && !stored && result == ExtractResult::dataError)
            return ExtractResult::olderMethodDataError;
        return result;
    }

private:
    ExtractResult extractInto(const MemberHeader& header, rar::Decoder decoder, const ByteSink& sink) {
        if (decoder == rar::Decoder::none)
            return ExtractResult::unsupportedVersion;
        if (header.flags & rar::encrypted)
            return ExtractResult::encrypted;
        if (header.unpSize > largestMemberSize)
            return ExtractResult::tooLarge;
        const bool stored = header.method == rar::methodStored;
        // Stored bytes are the member itself: fewer of them than its size is damage, not something to
        // make up with zeros.
        if (stored && header.packSize < header.unpSize)
            return ExtractResult::dataError;
        if (!stored && header.solidContinuation && !unpacker_.canContinue())
            return ExtractResult::solidPredecessorFailed;
        if (header.dataOffset > source_.size() || header.packSize > source_.size() - header.dataOffset)
            return ExtractResult::packedDataPastEnd;

        std::uint32_t crc = 0;
        const auto take = [&](std::span<const std::uint8_t> piece) {
            crc = crc32(piece, crc);
            if (sink)
                sink(piece);
        };
        if (stored) {
            if (!copyStored(header, take))
                return ExtractResult::packedDataPastEnd;
        } else if (!decode(decoder, header, take)) {
            return ExtractResult::dataError;
        }
        return crc == header.fileCrc ? ExtractResult::ok : ExtractResult::crcMismatch;
    }

    // Decodes a compressed member with the decoder its version chose; false when its data is damaged.
    bool decode(rar::Decoder decoder, const MemberHeader& header, const ByteSink& take) {
        switch (decoder) {
        case rar::Decoder::rar20:
            return unpacker_.unpack(source_, header.dataOffset, header.packSize, header.unpSize,
                                    header.solidContinuation, take);
        case rar::Decoder::none:
            break;
        }
        return false;
    }

    bool copyStored(const MemberHeader& header, const ByteSink& take) {
        std::vector<std::uint8_t> chunk(std::min<std::size_t>(header.unpSize, Rar20BitReader::chunkSize));
        for (std::uint32_t done = 0; done < header.unpSize;) {
            const std::span<std::uint8_t> piece =
                std::span(chunk).first(std::min<std::size_t>(chunk.size(), header.unpSize - done));
            if (!source_.read(header.dataOffset + done, piece))
                return false;
            take(piece);
            done += static_cast<std::uint32_t>(piece.size());
        }
        return true;
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
    bool folderFound = false;
    while (walk.next(header)) {
        // A folder entry has no bytes to give, whatever its header's sizes say; a file of the same name may
        // still follow it.
        const bool folder = header.damage == ExtractResult::ok && header.isFolder();
        if (folder && memberNameMatches(memberName, header.name)) {
            folderFound = true;
            continue;
        }
        if (memberNameMatches(memberName, header.name)) {
            // Room for the whole member up front, so it is not copied again and again as it grows; but no
            // more than the packed bits can decode to, which a damaged header cannot inflate.
            out.reserve(std::min<std::uint64_t>(
                header.unpSize,
                std::uint64_t{header.packSize} *
                    (header.method == rar::methodStored ? 1 : 8 * Rar20Unpacker::longestMatch)));
            const ExtractResult result = extractor.extract(header, [&](std::span<const std::uint8_t> piece) {
                out.insert(out.end(), piece.begin(), piece.end());
            });
            if (result != ExtractResult::ok)
                out = {};
            return result;
        }
        // The members before the wanted one of a solid archive fill the window it goes on from.
        if (walk.solid() && header.method != rar::methodStored)
            extractor.extract(header, {});
    }
    if (walk.error() != ExtractResult::ok)
        return walk.error();
    return folderFound ? ExtractResult::notAFile : ExtractResult::notFound;
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

ExtractResult streamAll(ArchiveSource& archive, const MemberStreamer& streamer,
                        std::uint64_t* trailingBytes) {
    ArchiveWalk walk(archive);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return start;
    MemberExtractor extractor(archive);
    MemberHeader header;
    while (walk.next(header)) {
        const ExtractResult result = extractor.extract(header, streamer.open(header));
        streamer.close(header, result);
    }
    if (trailingBytes)
        *trailingBytes = walk.trailingBytes();
    return walk.error();
}

ExtractResult extractAll(ArchiveSource& archive, const MemberCallback& callback,
                         std::uint64_t* trailingBytes) {
    std::vector<std::uint8_t> bytes;
    const MemberStreamer streamer{[&](const MemberHeader&) -> ByteSink {
                                      bytes.clear();
                                      return [&](std::span<const std::uint8_t> piece) {
                                          bytes.insert(bytes.end(), piece.begin(), piece.end());
                                      };
                                  },
                                  [&](const MemberHeader& header, ExtractResult result) {
                                      if (result != ExtractResult::ok)
                                          bytes = {};
                                      callback(header, result, bytes);
                                  }};
    return streamAll(archive, streamer, trailingBytes);
}
