#pragma once

#include "data/archive_member.h"
#include "data/archive_reader.h"
#include "data/archive_source.h"

#include <cstdint>
#include <optional>

// Reading an archive that `a` is to rewrite with members added. Whatever of it cannot be read would be
// missing from the new archive, so it is rewritten only when it reads whole: every header and every member
// sound, and no bytes after the last member that no member accounts for.

// What keeps an archive from reading whole: a member that fails its check (`result`), a damaged header
// (`header.damage`), bytes after the last member (`trailingBytes`), or, with no member named, an archive
// that cannot be walked at all (`result`).
struct UnreadablePart {
    MemberHeader header;
    ExtractResult result = ExtractResult::ok;
    std::uint64_t trailingBytes = 0;
};

// Decodes every member in order, streaming each one's bytes to `keep` and closing it there only when it is
// sound; after the first part that is not, nothing more goes to `keep`. Nothing when the archive reads
// whole, else that first part (and the caller must drop what `keep` was given).
std::optional<UnreadablePart> readArchiveWhole(ArchiveSource& source, const MemberStreamer& keep);
