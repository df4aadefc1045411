#include "tools/sdd/archive_packer.h"

#include "data/archive_member.h"
#include "data/crc32.h"
#include "tools/sdd/packing_estimate.h"

#include <algorithm>
#include <thread>

Rar20LzEffort effortForLevel(int level) {
    switch (std::clamp(level, 1, 5)) {
    case 1:
        return {.searchSteps = 8, .lazy = false, .niceLength = 16, .splitDepth = 3};
    case 2:
        return {.searchSteps = 16, .lazy = true, .niceLength = 32, .goodLength = 12, .splitDepth = 3};
    case 3:
        return {.searchSteps = 24, .lazy = true, .niceLength = 64, .goodLength = 12, .splitDepth = 3};
    case 4:
        return {.searchSteps = 32, .lazy = true, .niceLength = 32, .optimalPasses = 2};
    default:
        return {.searchSteps = 64, .lazy = true, .niceLength = 64, .optimalPasses = 3};
    }
}

namespace {

// How much of the members' data may wait to be packed and written: the copies are made so the caller's
// bytes need not last, and this bounds what they cost. A few members per packer keep every packer busy.
constexpr std::size_t mostPendingBytes = 4u << 20;
// What a member packed from its source counts for among them: it holds a file open and, once packed, up
// to a SpillBuffer's memory, whatever its size.
constexpr std::size_t streamedMemberCost = 1u << 20;
// The chunks a member is read in from its source.
constexpr std::size_t sourceChunkSize = 64 * 1024;
// What one packer holds at most, measured on text: the match finder's index over the window, the history,
// the codes of a stretch and its packed stream; the levels that weigh every way through a stretch add the
// matches of every position of two stretches and the paths through one.
constexpr std::size_t packerMemory = 16u << 20;
constexpr std::size_t weighingPackerMemory = 32u << 20;
// The packers together keep to this whatever the number of processors, so that `a` stays within some 64 MiB
// with the names of a tree of tens of thousands of files and the members waiting to be written beside.
constexpr std::size_t mostPackersMemory = 36u << 20;

// One packer per processor, as far as the memory allows; at the levels that weigh every way through a
// stretch a packer keeps two busy itself (the next stretch's matches are collected while this one is
// weighed), so half as many packers keep the processors as busy.
unsigned workerCount(const PackOptions& options) {
    const unsigned processors = std::max(std::thread::hardware_concurrency(), 1u);
    const bool packerUsesTwo = options.level > 0 && effortForLevel(options.level).optimalPasses > 0;
    const auto fitInMemory =
        static_cast<unsigned>(mostPackersMemory / (packerUsesTwo ? weighingPackerMemory : packerMemory));
    return std::max(std::min(packerUsesTwo ? processors / 2 : processors, fitInMemory), 1u);
}
// -m1 to -m3 judge a member before packing it; -m4 and -m5 take the time to pack everything.
constexpr int fastestLevelsThatJudgeFirst = 3;

} // namespace

ArchivePacker::ArchivePacker(const PackOptions& options, WrittenReport written)
    : ArchivePacker(options, {}, std::move(written)) {}

ArchivePacker::ArchivePacker(const PackOptions& options, ArchiveOutput output, WrittenReport written)
    : options_(options), writer_(options.solid, std::move(output)), written_(std::move(written)),
      workers_(workerCount(options)) {
    if (options.solid && options.level > 0)
        solidEncoder_ = std::make_unique<Rar20Encoder>(effortForLevel(options.level), options.multimedia);
}

bool ArchivePacker::add(std::string_view name, std::span<const std::uint8_t> bytes, std::uint32_t time,
                        MemberAttributes attributes) {
    // A solid member is packed at once, so only the others need a copy that outlives the call.
    if (solidEncoder_ || bytes.size() > largestMemberSize)
        return addOwned(name, bytes, {}, time, attributes);
    return addOwned(name, bytes, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), time, attributes);
}

bool ArchivePacker::add(std::string_view name, std::vector<std::uint8_t>&& bytes, std::uint32_t time,
                        MemberAttributes attributes) {
    const std::span<const std::uint8_t> view = bytes;
    return addOwned(name, view, std::move(bytes), time, attributes);
}

bool ArchivePacker::addOwned(std::string_view name, std::span<const std::uint8_t> bytes,
                             std::vector<std::uint8_t> owned, std::uint32_t time,
                             MemberAttributes attributes) {
    // Checked before packing: once a member is accepted its writing cannot fail, and the solid encoder's
    // state moves on with every member it packs. The writer knows no method beyond level 5.
    if (bytes.size() > largestMemberSize || !ArchiveWriter::acceptsName(name) || options_.level < 0 ||
        options_.level > 5 || (attributes.folder() && !bytes.empty()))
        return false;
    const std::size_t index = added_++;
    if (solidEncoder_) {
        if (bytes.empty()) {
            heldBackEmptyMembers_.push_back({index, std::string(name), time, attributes, 0, {}});
            return true;
        }
        const std::vector<std::uint8_t> packed = solidEncoder_->encode(bytes);
        const std::uint32_t crc = crc32(bytes);
        writer_.addPacked(name, packed, static_cast<std::uint32_t>(bytes.size()), crc,
                          static_cast<std::uint8_t>(rar::methodStored + options_.level), time, attributes);
        reportWritten(index, crc);
        return true;
    }
    // The workers take the members in order, so the oldest pending member is the first to be ready.
    auto task = std::make_shared<std::packaged_task<MemberData()>>(
        [options = options_, bytes = std::move(owned)]() mutable {
            return packAlone(options, std::move(bytes));
        });
    std::future<MemberData> data = task->get_future();
    // Posted first: a pool that cannot start its threads throws before the member is counted as added.
    workers_.post([task] { (*task)(); });
    pending_.push_back({index, std::string(name), time, attributes, bytes.size(), std::move(data)});
    pendingBytes_ += bytes.size();
    while (pendingBytes_ > mostPendingBytes)
        writeOldestPending();
    return true;
}

bool ArchivePacker::addFrom(std::string_view name, std::uint32_t time, MemberAttributes attributes,
                            MemberSource source) {
    if (options_.level == 0)
        return addStoredFrom(name, source.size, source.crc, time, attributes, source.read);
    if (!ArchiveWriter::acceptsName(name) || options_.level > 5 || attributes.folder() ||
        source.size > largestMemberSize)
        return false;
    const std::size_t index = added_++;
    if (solidEncoder_) {
        if (source.size == 0) {
            heldBackEmptyMembers_.push_back({index, std::string(name), time, attributes, 0, {}});
            return true;
        }
        SpillBuffer packed;
        if (good_ && !(packFrom(*solidEncoder_, source, packed) &&
                       writer_.addPackedFrom(
                           name, static_cast<std::uint32_t>(packed.size()), source.size, source.crc,
                           static_cast<std::uint8_t>(rar::methodStored + options_.level), time, attributes,
                           [&](std::span<std::uint8_t> into) { return packed.read(into); })))
            fail(packed);
        reportWritten(index, source.crc);
        return true;
    }
    auto task = std::make_shared<std::packaged_task<MemberData()>>(
        [options = options_, shared = std::make_shared<MemberSource>(std::move(source))]() mutable {
            return packAloneFrom(options, std::move(shared));
        });
    std::future<MemberData> data = task->get_future();
    workers_.post([task] { (*task)(); });
    pending_.push_back({index, std::string(name), time, attributes, streamedMemberCost, std::move(data)});
    pendingBytes_ += streamedMemberCost;
    while (pendingBytes_ > mostPendingBytes)
        writeOldestPending();
    return true;
}

bool ArchivePacker::startStreamed(std::string_view name, std::uint32_t size, std::uint32_t crc,
                                  std::uint32_t time, MemberAttributes attributes) {
    if (!solidEncoder_ || streamed_ || size == 0 || size > largestMemberSize || attributes.folder() ||
        !ArchiveWriter::acceptsName(name))
        return false;
    streamed_ = std::make_unique<StreamedMember>();
    streamed_->index = added_++;
    streamed_->name = name;
    streamed_->size = size;
    streamed_->crc = crc;
    streamed_->time = time;
    streamed_->attributes = attributes;
    return true;
}

void ArchivePacker::addStreamed(std::span<const std::uint8_t> piece) {
    StreamedMember& member = *streamed_;
    member.sizeSoFar += piece.size();
    member.crcSoFar = crc32(piece, member.crcSoFar);
    member.packedWhole = member.packed.append(solidEncoder_->add(piece)) && member.packedWhole;
}

bool ArchivePacker::finishStreamed() {
    const std::unique_ptr<StreamedMember> member = std::move(streamed_);
    const bool whole = member->packed.append(solidEncoder_->finishMember()) && member->packedWhole &&
                       member->sizeSoFar == member->size && member->crcSoFar == member->crc;
    if (!whole || (good_ && !writer_.addPackedFrom(
                                member->name, static_cast<std::uint32_t>(member->packed.size()), member->size,
                                member->crc, static_cast<std::uint8_t>(rar::methodStored + options_.level),
                                member->time, member->attributes,
                                [&](std::span<std::uint8_t> into) { return member->packed.read(into); })))
        fail(member->packed);
    reportWritten(member->index, member->crc);
    return whole;
}

void ArchivePacker::fail(const SpillBuffer& packed) {
    good_ = false;
    if (failure_.empty())
        failure_ = packed.failure();
}

bool ArchivePacker::packFrom(Rar20Encoder& encoder, MemberSource& source, SpillBuffer& packed) {
    std::vector<std::uint8_t> chunk;
    std::uint32_t crc = 0;
    bool good = true;
    for (std::uint32_t done = 0; done < source.size && good;) {
        chunk.resize(std::min<std::size_t>(sourceChunkSize, source.size - done));
        good = source.read(chunk) && packed.append(encoder.add(chunk));
        crc = crc32(chunk, crc);
        done += static_cast<std::uint32_t>(chunk.size());
    }
    const bool whole = packed.append(encoder.finishMember()) && good;
    if (source.crcKnown)
        return whole && crc == source.crc;
    source.crc = crc;
    source.crcKnown = true;
    return whole && (!source.unchanged || source.unchanged());
}

ArchivePacker::MemberData ArchivePacker::packAloneFrom(const PackOptions& options,
                                                       std::shared_ptr<MemberSource> source) {
    MemberData data;
    data.unpackedSize = source->size;
    Rar20Encoder encoder(effortForLevel(options.level), options.multimedia);
    auto packed = std::make_unique<SpillBuffer>();
    data.readable = packFrom(encoder, *source, *packed);
    data.failure = packed->failure();
    data.unpackedCrc = source->crc;
    if (packed->size() < source->size) {
        data.packedBytes = std::move(packed);
        data.method = static_cast<std::uint8_t>(rar::methodStored + options.level);
    } else {
        data.storedFrom = std::move(source);
    }
    return data;
}

bool ArchivePacker::addStoredFrom(std::string_view name, std::uint32_t size, std::uint32_t crc,
                                  std::uint32_t time, MemberAttributes attributes,
                                  const ArchiveWriter::MemberReader& read) {
    if (solidEncoder_ || size > largestMemberSize)
        return false;
    while (!pending_.empty())
        writeOldestPending();
    if (!writer_.addStoredFrom(name, size, crc, time, attributes, read))
        return false;
    reportWritten(added_++, crc);
    return true;
}

bool ArchivePacker::addCopied(ArchiveSource& source, const MemberHeader& header) {
    if (options_.solid)
        return false;
    // In order: the members being packed go first.
    while (!pending_.empty())
        writeOldestPending();
    if (!writer_.addCopied(source, header))
        return false;
    reportWritten(added_++, header.fileCrc);
    return true;
}

ArchivePacker::MemberData ArchivePacker::packAlone(const PackOptions& options,
                                                   std::vector<std::uint8_t> bytes) {
    MemberData data;
    data.unpackedSize = static_cast<std::uint32_t>(bytes.size());
    data.unpackedCrc = crc32(bytes);
    // At the fast levels, bytes that would hardly shrink (compressed files, mostly) are stored without
    // being packed whole first. The estimate overlooks the shortest repeats, which the smallest levels are
    // asked to find, and multimedia mode's delta coder shrinks what it does not foresee: there every member
    // is packed.
    const bool judgeFirst = options.level <= fastestLevelsThatJudgeFirst && !options.multimedia;
    if (options.level > 0 && !bytes.empty() && !(judgeFirst && packingSavesLittle(bytes))) {
        Rar20Encoder encoder(effortForLevel(options.level), options.multimedia);
        std::vector<std::uint8_t> packed = encoder.encode(bytes);
        if (packed.size() < data.unpackedSize) {
            data.bytes = std::move(packed);
            data.method = static_cast<std::uint8_t>(rar::methodStored + options.level);
            return data;
        }
    }
    data.bytes = std::move(bytes);
    return data;
}

void ArchivePacker::writeOldestPending() {
    PendingMember member = std::move(pending_.front());
    pending_.pop_front();
    pendingBytes_ -= member.size;
    MemberData data = member.data.get();
    // add() checked the name and the size, the only reasons the writer refuses a member; a source can fail.
    if (!data.readable) {
        good_ = false;
        if (failure_.empty())
            failure_ = data.failure;
    } else if (data.packedBytes) {
        SpillBuffer& packed = *data.packedBytes;
        if (good_ &&
            !writer_.addPackedFrom(member.name, static_cast<std::uint32_t>(packed.size()), data.unpackedSize,
                                   data.unpackedCrc, data.method, member.time, member.attributes,
                                   [&](std::span<std::uint8_t> into) { return packed.read(into); }))
            fail(packed);
    } else if (data.storedFrom) {
        MemberSource& source = *data.storedFrom;
        good_ = good_ && source.rewind() &&
                writer_.addStoredFrom(member.name, source.size, source.crc, member.time, member.attributes,
                                      source.read);
    } else if (data.method == rar::methodStored) {
        writer_.addStored(member.name, data.bytes, member.time, member.attributes);
    } else {
        writer_.addPacked(member.name, data.bytes, data.unpackedSize, data.unpackedCrc, data.method,
                          member.time, member.attributes);
    }
    reportWritten(member.index, data.unpackedCrc);
}

void ArchivePacker::reportWritten(std::size_t index, std::uint32_t crc) const {
    if (written_)
        written_(index, crc);
}

const ArchiveWriter& ArchivePacker::finish() {
    while (!pending_.empty())
        writeOldestPending();
    for (const PendingMember& member : heldBackEmptyMembers_) {
        writer_.addStored(member.name, {}, member.time, member.attributes);
        reportWritten(member.index, 0); // the CRC-32 of no bytes
    }
    heldBackEmptyMembers_.clear();
    return writer_;
}
