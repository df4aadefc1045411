#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"

#include <cstdint>

// Walks an archive's blocks from the start and stops at each file header. Every size a header gives is
// checked against the archive before it is used, so a damaged archive ends the walk instead of sending it
// outside the file.
class ArchiveWalk {
public:
    explicit ArchiveWalk(ArchiveSource& source) : source_(source) {}

    // Reads the marker and the main header: ok, or why this is no archive to walk.
    ExtractResult start();

    // Whether the main header marks the archive as solid.
    bool solid() const { return solid_; }

    // Moves to the next file header and fills `header`. False at the end of the archive or at a block that
    // cannot be read; error() then says which (ok for the end).
    bool next(MemberHeader& header);
    ExtractResult error() const { return error_; }

    // Bytes after the last whole block that are no block at all (a download with junk appended, say): the
    // walk ends before them as at the end of the archive, and this says how many there were. A block whose
    // own header checks out but which runs past the end is damage, not junk, and stays an error.
    std::uint64_t trailingBytes() const { return trailingBytes_; }

private:
    bool fail(ExtractResult error) {
        error_ = error;
        return false;
    }
    // Ends the walk at a block that cannot be read: as damage when its header's CRC is right, else as the
    // end of the archive with junk after it.
    bool failOrEnd(ExtractResult error, std::uint64_t blockStart);

    ArchiveSource& source_;
    std::uint64_t position_ = 0;
    bool solid_ = false;
    ExtractResult error_ = ExtractResult::ok;
    std::uint64_t trailingBytes_ = 0;
};
