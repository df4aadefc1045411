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

private:
    bool fail(ExtractResult error) {
        error_ = error;
        return false;
    }

    ArchiveSource& source_;
    std::uint64_t position_ = 0;
    bool solid_ = false;
    ExtractResult error_ = ExtractResult::ok;
};
