#include "tools/sdd/archive_writer.h"

#include "data/crc32.h"

#include <algorithm>
#include <fstream>
#include <limits>

namespace {

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A header's CRC field holds the low 16 bits of the CRC-32 over everything after the field itself.
void setHeaderCrc(std::vector<std::uint8_t>& header) {
    const std::uint32_t crc = crc32(std::span(header).subspan(2));
    header[0] = static_cast<std::uint8_t>(crc);
    header[1] = static_cast<std::uint8_t>(crc >> 8);
}

constexpr std::size_t copyChunkSize = 64 * 1024;

} // namespace

ArchiveWriter::ArchiveWriter(bool solid) : ArchiveWriter(solid, {}) {}

ArchiveWriter::ArchiveWriter(bool solid, ArchiveOutput output) : solid_(solid), output_(std::move(output)) {
    put(rar::marker);
    std::vector<std::uint8_t> header;
    putLittleEndian(header, 0, 2); // CRC, filled in by setHeaderCrc
    header.push_back(rar::mainType);
    putLittleEndian(header, solid ? rar::solidArchive : 0, 2);
    putLittleEndian(header, rar::mainHeaderSize, 2);
    putLittleEndian(header, 0, 2); // reserved
    putLittleEndian(header, 0, 4); // reserved
    setHeaderCrc(header);
    put(header);
}

void ArchiveWriter::put(std::span<const std::uint8_t> bytes) {
    if (!output_)
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    else if (good_)
        good_ = output_(bytes);
}

bool ArchiveWriter::addStoredFrom(std::string_view name, std::uint32_t size, std::uint32_t crc,
                                  std::uint32_t time, MemberAttributes attributes, const MemberReader& read) {
    if (!acceptsName(name) || (attributes.folder() && size != 0))
        return false;
    addMember(name, {}, size, crc, rar::methodStored, time, attributes, size);
    std::uint32_t crcAsRead = 0;
    return putFrom(size, read, &crcAsRead) && crcAsRead == crc;
}

bool ArchiveWriter::addPackedFrom(std::string_view name, std::uint32_t packedSize, std::uint32_t unpackedSize,
                                  std::uint32_t unpackedCrc, std::uint8_t method, std::uint32_t time,
                                  MemberAttributes attributes, const MemberReader& read) {
    if (method < rar::methodFastest || method > rar::methodBest || attributes.folder() ||
        !addMember(name, {}, unpackedSize, unpackedCrc, method, time, attributes, packedSize))
        return false;
    return putFrom(packedSize, read, nullptr);
}

bool ArchiveWriter::putFrom(std::uint32_t size, const MemberReader& read, std::uint32_t* crc) {
    std::vector<std::uint8_t> chunk;
    for (std::uint32_t done = 0; done < size;) {
        chunk.resize(std::min<std::size_t>(copyChunkSize, size - done));
        if (!read(chunk))
            return false;
        if (crc)
            *crc = crc32(chunk, *crc);
        put(chunk);
        done += static_cast<std::uint32_t>(chunk.size());
    }
    return true;
}

bool ArchiveWriter::addCopied(ArchiveSource& source, const MemberHeader& header) {
    if (solid_ || header.solidContinuation || header.dataOffset < header.headerOffset)
        return false;
    const std::uint64_t end = header.dataOffset + header.packSize;
    if (end > source.size())
        return false;
    std::vector<std::uint8_t> chunk;
    for (std::uint64_t at = header.headerOffset; at < end;) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(copyChunkSize, end - at)));
        if (!source.read(at, chunk))
            return false;
        put(chunk);
        at += chunk.size();
    }
    hasPackedMembers_ = hasPackedMembers_ || header.method != rar::methodStored;
    return true;
}

bool ArchiveWriter::addStored(std::string_view name, std::span<const std::uint8_t> data, std::uint32_t time,
                              MemberAttributes attributes) {
    if (data.size() > std::numeric_limits<std::uint32_t>::max() || (attributes.folder() && !data.empty()))
        return false;
    return addMember(name, data, static_cast<std::uint32_t>(data.size()), crc32(data), rar::methodStored,
                     time, attributes, data.size());
}

bool ArchiveWriter::addPacked(std::string_view name, std::span<const std::uint8_t> packed,
                              std::uint32_t unpackedSize, std::uint32_t unpackedCrc, std::uint8_t method,
                              std::uint32_t time, MemberAttributes attributes) {
    if (method < rar::methodFastest || method > rar::methodBest || attributes.folder())
        return false;
    return addMember(name, packed, unpackedSize, unpackedCrc, method, time, attributes, packed.size());
}

bool ArchiveWriter::acceptsName(std::string_view name) {
    return !name.empty() && name.size() <= std::numeric_limits<std::uint16_t>::max() - rar::fileHeaderSize;
}

bool ArchiveWriter::addMember(std::string_view name, std::span<const std::uint8_t> data,
                              std::uint32_t unpackedSize, std::uint32_t unpackedCrc, std::uint8_t method,
                              std::uint32_t time, MemberAttributes attributes, std::size_t dataSize) {
    if (!acceptsName(name) || dataSize > std::numeric_limits<std::uint32_t>::max())
        return false;

    std::uint16_t flags = rar::longBlock | (attributes.folder() ? rar::folderEntry : rar::dictionary1MiB);
    // A continuation with nothing packed before it would find no tables to go on with, and stored members
    // take no part in the chain.
    if (solid_ && hasPackedMembers_ && method != rar::methodStored)
        flags |= rar::solidContinuation;
    // A name that goes on after a zero byte carries its Unicode form there, encoded, as read from an archive.
    const std::size_t plainEnd = std::min(name.find('\0'), name.size());
    if (plainEnd < name.size())
        flags |= rar::unicodeName;

    std::vector<std::uint8_t> header;
    putLittleEndian(header, 0, 2); // CRC, filled in by setHeaderCrc
    header.push_back(rar::fileType);
    putLittleEndian(header, flags, 2);
    putLittleEndian(header, static_cast<std::uint32_t>(rar::fileHeaderSize + name.size()), 2);
    putLittleEndian(header, static_cast<std::uint32_t>(dataSize), 4);
    putLittleEndian(header, unpackedSize, 4);
    header.push_back(attributes.hostOs);
    putLittleEndian(header, unpackedCrc, 4);
    putLittleEndian(header, time, 4);
    header.push_back(rar::version20);
    header.push_back(method);
    putLittleEndian(header, static_cast<std::uint32_t>(name.size()), 2);
    putLittleEndian(header, attributes.attributes, 4);
    std::transform(name.begin(), name.begin() + plainEnd, std::back_inserter(header),
                   [](char c) { return static_cast<std::uint8_t>(c == '/' ? '\\' : c); });
    header.insert(header.end(), name.begin() + plainEnd, name.end());

    setHeaderCrc(header);
    put(header);
    put(data);
    hasPackedMembers_ = hasPackedMembers_ || method != rar::methodStored;
    return true;
}

bool ArchiveWriter::save(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    file.close();
    return static_cast<bool>(file);
}
