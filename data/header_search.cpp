#include "data/header_search.h"

#include "data/block_header.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t chunkSize = 1 << 20;
constexpr std::size_t largestHeader = 0xFFFF;

bool plausibleFileHeader(std::span<const std::uint8_t> bytes, std::uint64_t left) {
    return bytes.size() >= rar::fileHeaderSize && bytes[rar::field::type] == rar::fileType &&
           (block::le16(&bytes[rar::field::flags]) & rar::longBlock) &&
           bytes[rar::field::unpVer] >= rar::oldestVersion &&
           bytes[rar::field::unpVer] <= rar::newestHeaderVersion &&
           block::check(bytes, left) == ExtractResult::ok;
}

} // namespace

bool soundFileHeaderAt(ArchiveSource& source, std::uint64_t position) {
    const std::uint64_t archiveSize = source.size();
    if (position >= archiveSize)
        return false;
    std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(archiveSize - position, largestHeader));
    return source.read(position, bytes) && plausibleFileHeader(bytes, archiveSize - position);
}

std::optional<std::uint64_t> findSoundFileHeader(ArchiveSource& source, std::uint64_t from) {
    const std::uint64_t archiveSize = source.size();
    std::vector<std::uint8_t> chunk;
    // A chunk at a time: the headers that may start in its first chunkSize bytes, each readable whole since
    // the chunk reaches one largest header further.
    for (std::uint64_t chunkStart = from; chunkStart + rar::fileHeaderSize <= archiveSize;) {
        chunk.resize(std::min<std::uint64_t>(archiveSize - chunkStart, chunkSize + largestHeader));
        if (!source.read(chunkStart, chunk))
            return std::nullopt;
        const std::size_t starts = std::min(chunk.size() - rar::fileHeaderSize + 1, chunkSize);
        // The type byte is a header's third: look for it, then check the rest.
        for (std::size_t at = 0; at < starts; ++at) {
            const void* type = std::memchr(&chunk[at + rar::field::type], rar::fileType, starts - at);
            if (!type)
                break;
            at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(type) - chunk.data()) -
                 rar::field::type;
            const auto bytes = std::span<const std::uint8_t>(chunk).subspan(at);
            if (plausibleFileHeader(bytes, archiveSize - chunkStart - at))
                return chunkStart + at;
        }
        chunkStart += starts;
    }
    return std::nullopt;
}
