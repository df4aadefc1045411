#pragma once

#include "tools/sdd/archive_writer.h"
#include "tools/sdd/rar20_encoder.h"
#include "tools/sdd/spill_buffer.h"
#include "tools/sdd/worker_pool.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A member's bytes, read in order a chunk at a time, and read again from the start after rewind (a file).
struct MemberSource {
    std::uint32_t size = 0;
    std::uint32_t crc = 0; // the CRC-32 the bytes have, found when they were read before (if crcKnown)
    ArchiveWriter::MemberReader read;
    std::function<bool()> rewind;
    // Without a CRC found before, the bytes are read once, as they are packed, and their CRC is found then;
    // since no second reading can then compare them, `unchanged`, when given, tells once they are read
    // whether they stayed what they were meanwhile (a file's size and times).
    bool crcKnown = true;
    std::function<bool()> unchanged;
};

struct PackOptions {
    int level = 3;           // 0 stores every member; 1 (fastest) to 5 (smallest) pack with RAR 2.0
    bool solid = false;      // members continue one another's window and tables
    bool multimedia = false; // try the delta predictor on every stretch and keep it where it is smaller
};

// Builds an archive member by member with RAR 2.0 compression. Output depends only on the options and the
// members, so the same input always gives the same archive. The members of a non-solid archive are
// independent streams, so they are packed several at once, one per processor, and written in the order
// they were added.
class ArchivePacker {
public:
    // `written`, when given, is called with each member's place among those added (counting from 0) and the
    // CRC-32 of its bytes once the member is in the archive.
    using WrittenReport = std::function<void(std::size_t index, std::uint32_t crc)>;
    explicit ArchivePacker(const PackOptions& options, WrittenReport written = {});
    // The same, writing the archive into `output` as members are done (see ArchiveWriter).
    ArchivePacker(const PackOptions& options, ArchiveOutput output, WrittenReport written);

    // Packs the member (it is copied: `bytes` need not outlive the call), or stores it when packing does not
    // make it smaller or, judged before packing, would save less than a hundredth of it (without -mm). In a
    // solid archive only empty members are stored: the members after a stored one could not reach back
    // across it. Fails, adding nothing, for the reasons ArchiveWriter gives, for a member larger than
    // largestMemberSize, which readers refuse, and for a level outside 0 to 5.
    // A folder (see MemberAttributes) is written as a folder entry and takes no bytes.
    bool add(std::string_view name, std::span<const std::uint8_t> bytes,
             std::uint32_t time = defaultMemberTime, MemberAttributes attributes = {});
    // The same, taking the bytes over instead of copying them.
    bool add(std::string_view name, std::vector<std::uint8_t>&& bytes, std::uint32_t time = defaultMemberTime,
             MemberAttributes attributes = {});

    // Packs a member read a chunk at a time from `source`, so that a member of any size costs the packer's
    // window and buffers; the packed stream waits in a SpillBuffer for its header. Stored, read again, when
    // packing does not make it smaller. Fails, adding nothing, for the reasons add gives. Bytes that cannot
    // be read or do not have the CRC the source gave (the file changed) are found as the member is packed,
    // which may be after this returns: good() then turns false, and the archive being written is unusable.
    bool addFrom(std::string_view name, std::uint32_t time, MemberAttributes attributes, MemberSource source);

    // False once a member's source could not be read as addFrom needs.
    bool good() const { return good_; }
    // When good() turned false because a packed stream's temporary file failed (a full /tmp), that reason;
    // otherwise empty, and the source was to blame.
    const std::string& failure() const { return failure_; }

    // A member of a solid archive given a piece at a time as it comes, so that only the window is held
    // whatever its size (a member of the archive being rewritten, as it is decoded): `size` and `crc` are
    // what its header says. Only where members are packed as one stream (solid, level 1 to 5), and only for
    // a member with bytes; fails, adding nothing, for the reasons add gives. Until finishStreamed nothing
    // else may be added.
    bool startStreamed(std::string_view name, std::uint32_t size, std::uint32_t crc, std::uint32_t time,
                       MemberAttributes attributes);
    void addStreamed(std::span<const std::uint8_t> piece);
    // Writes the member; false, and good() false, when the bytes were not as many as startStreamed was told
    // or had another CRC.
    bool finishStreamed();

    // Stores a member read a chunk at a time (ArchiveWriter::addStoredFrom), after the members added before
    // it: a member of any size costs one chunk. Only where members are not packed as one stream (level 0,
    // or not solid); fails too for the reasons the writer gives.
    bool addStoredFrom(std::string_view name, std::uint32_t size, std::uint32_t crc, std::uint32_t time,
                       MemberAttributes attributes, const ArchiveWriter::MemberReader& read);

    // Copies a member of another archive as it is there (ArchiveWriter::addCopied), after the members
    // added before it. Counts as added; fails, for the reasons the writer gives, in a solid archive.
    bool addCopied(ArchiveSource& source, const MemberHeader& header);

    // The archive with every member added. In a solid archive the empty members come last: some unpackers
    // (unar) lose their place in the chain of packed members at an empty one.
    const ArchiveWriter& finish();

private:
    // A member's data as it goes into the archive: packed with `method`, or stored as it is.
    struct MemberData {
        std::vector<std::uint8_t> bytes;
        std::unique_ptr<SpillBuffer> packedBytes; // or the packed stream is here
        std::shared_ptr<MemberSource> storedFrom; // or the member is stored from here, read again
        bool readable = true;                     // false: the source failed, nothing is to be written
        std::string failure;                      // or the packed stream's temporary file failed, saying why
        std::uint8_t method = rar::methodStored;
        std::uint32_t unpackedSize = 0;
        std::uint32_t unpackedCrc = 0;
    };
    // A member whose data is being made, by a worker when packing it takes one.
    struct PendingMember {
        std::size_t index;
        std::string name;
        std::uint32_t time;
        MemberAttributes attributes;
        std::size_t size;
        std::future<MemberData> data;
    };

    // `owned` holds the bytes `bytes` views when a worker is to pack them (empty otherwise).
    bool addOwned(std::string_view name, std::span<const std::uint8_t> bytes, std::vector<std::uint8_t> owned,
                  std::uint32_t time, MemberAttributes attributes);
    static MemberData packAlone(const PackOptions& options, std::vector<std::uint8_t> bytes);
    static MemberData packAloneFrom(const PackOptions& options, std::shared_ptr<MemberSource> source);
    // Reads the whole member from `source` into `encoder`, its packed stream into `packed`; false when it
    // could not be read, had another CRC or changed. A CRC not known before is the source's from then on.
    static bool packFrom(Rar20Encoder& encoder, MemberSource& source, SpillBuffer& packed);
    // Turns good() false, keeping the first temporary-file failure of `packed` for failure().
    void fail(const SpillBuffer& packed);
    void writeOldestPending();
    void reportWritten(std::size_t index, std::uint32_t crc) const;

    // The member being given a piece at a time, and what became of it so far.
    struct StreamedMember {
        std::size_t index = 0;
        std::string name;
        std::uint32_t size = 0;
        std::uint32_t crc = 0;
        std::uint32_t time = 0;
        MemberAttributes attributes;
        std::uint64_t sizeSoFar = 0;
        std::uint32_t crcSoFar = 0;
        SpillBuffer packed;
        bool packedWhole = true;
    };

    PackOptions options_;
    ArchiveWriter writer_;
    std::unique_ptr<StreamedMember> streamed_;
    std::unique_ptr<Rar20Encoder> solidEncoder_;
    std::deque<PendingMember> pending_;
    std::size_t pendingBytes_ = 0;
    std::vector<PendingMember> heldBackEmptyMembers_; // their data is known: none
    WrittenReport written_;
    std::size_t added_ = 0;
    bool good_ = true;
    std::string failure_;
    WorkerPool workers_; // last, so destroyed first: a packer given up on stops packing at once
};

// The parser effort behind each packing level (1 to 5).
Rar20LzEffort effortForLevel(int level);
