#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"

#include <cstdint>
#include <vector>

// Walks an archive's blocks from the start and stops at each file header. Every header is checked (its
// HEAD_CRC, and every size against the archive) before it is used. A header that fails its check is
// reported as damage, and since its sizes cannot be trusted the walk goes on at the next sound file header
// after it, if there is one: one damaged header costs its own member, not the ones after it.
class ArchiveWalk {
public:
    explicit ArchiveWalk(ArchiveSource& source) : source_(source) {}

    // Reads the marker and the main header: ok, or why this is no archive to walk. A main header that
    // fails its check is reported by the first next() as damage, and the walk goes on from the first
    // sound file header.
    ExtractResult start();

    // Whether the main header marks the archive as solid.
    bool solid() const { return solid_; }

    // Moves to the next file header and fills `header`, or to the next damaged stretch, which comes as a
    // header whose `damage` says why (see MemberHeader). False at the end of the archive.
    bool next(MemberHeader& header);

    // The first damage the walk met so far, ok for none.
    ExtractResult error() const { return error_; }

    // Bytes after the last whole block that are no block at all (a download with junk appended, say): the
    // walk ends before them as at the end of the archive, and this says how many there were. Bytes that
    // look like a header cut short or damaged are reported as damage instead.
    std::uint64_t trailingBytes() const { return trailingBytes_; }

private:
    // Reports the header at `blockStart`, which failed its check with `result`, as damage reaching to the
    // next sound file header or to the end; or ends the walk there when it is junk rather than a header
    // (never for the main header: an archive is more than its marker).
    bool damaged(std::uint64_t blockStart, ExtractResult result, MemberHeader& header);

    ArchiveSource& source_;
    std::uint64_t position_ = 0;
    bool solid_ = false;
    std::vector<std::uint8_t> head_;
    ExtractResult mainHeaderDamage_ = ExtractResult::ok;
    ExtractResult error_ = ExtractResult::ok;
    std::uint64_t trailingBytes_ = 0;
};
