#include "data/member_extractor.h"

#include "data/crc32.h"

#include <algorithm>

ExtractResult MemberExtractor::extract(const MemberHeader& header, const ByteSink& sink) {
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

ExtractResult MemberExtractor::extract(const MemberHeader& header, std::vector<std::uint8_t>& out) {
    out = {};
    // Room for the whole member up front, so it is not copied again and again as it grows; but no more than
    // the packed bits can decode to, which a damaged header cannot inflate.
    if (header.damage == ExtractResult::ok)
        out.reserve(std::min<std::uint64_t>(
            header.unpSize, std::uint64_t{header.packSize} *
                                (header.method == rar::methodStored ? 1 : 8 * Rar20Unpacker::longestMatch)));
    const ExtractResult result = extract(header, [&out](std::span<const std::uint8_t> piece) {
        out.insert(out.end(), piece.begin(), piece.end());
    });
    if (result != ExtractResult::ok)
        out = {};
    return result;
}

ExtractResult MemberExtractor::extractInto(const MemberHeader& header, rar::Decoder decoder,
                                           const ByteSink& sink) {
    if (decoder == rar::Decoder::none)
        return ExtractResult::unsupportedVersion;
    if (header.flags & rar::encrypted)
        return ExtractResult::encrypted;
    if (header.unpSize > largestMemberSize)
        return ExtractResult::tooLarge;
    const bool stored = header.method == rar::methodStored;
    // Stored bytes are the member itself: fewer of them than its size is damage, not something to make up
    // with zeros.
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

bool MemberExtractor::decode(rar::Decoder decoder, const MemberHeader& header, const ByteSink& take) {
    switch (decoder) {
    case rar::Decoder::rar20:
        return unpacker_.unpack(source_, header.dataOffset, header.packSize, header.unpSize,
                                header.solidContinuation, take);
    case rar::Decoder::none:
        break;
    }
    return false;
}

bool MemberExtractor::copyStored(const MemberHeader& header, const ByteSink& take) {
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
