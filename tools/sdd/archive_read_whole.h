#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

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

using KeptMember = std::function<void(const MemberHeader& header, std::span<const std::uint8_t> bytes)>;

// Extracts every member in order and hands each sound one to `keep`; `solid` tells whether the archive is.
// Nothing when the archive reads whole, else the first part that does not (and the caller must drop what
// `keep` was given).
std::optional<UnreadablePart> readArchiveWhole(ArchiveSource& source, bool& solid, const KeptMember& keep);
