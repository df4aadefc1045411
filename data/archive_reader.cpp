#include "data/archive_reader.h"

#include "data/archive_walk.h"
#include "data/indexed_archive.h"

#include <algorithm>

namespace {

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
    IndexedArchive index(archive);
    return index.fetch(memberName, out);
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
