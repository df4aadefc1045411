#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"
#include "data/member_extractor.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reading members out of a RAR 2.x archive: stored members and members compressed with RAR 2.0, solid
// archives included. Every failure is a result, never a crash; a member comes back only when its CRC-32
// matches.

// Finds the member and fills `out` with its bytes. On failure `out` is empty.
// Names match case-insensitively, with `\` and `/` alike: "meshes/sphere.dat" finds "MESHES\SPHERE.DAT".
bool ExtractMember(std::string_view memberName, const std::string& archivePath,
                   std::vector<std::uint8_t>& out);
bool ExtractMember(std::string_view memberName, std::span<const std::uint8_t> archive,
                   std::vector<std::uint8_t>& out);

// The same, saying why it failed.
ExtractResult extractMemberWithReason(std::string_view memberName, ArchiveSource& archive,
                                      std::vector<std::uint8_t>& out);

// The archive's file headers in order. The result is ok, or why the walk stopped before the end; the headers
// read until then are in `members` either way. Bytes after the last whole block that are no block (see
// ArchiveWalk::trailingBytes) end the walk as the end of the archive does; `trailingBytes` gets their count.
ExtractResult listMembers(ArchiveSource& archive, std::vector<MemberHeader>& members,
                          std::uint64_t* trailingBytes = nullptr);

// What to do with each member of a pass through the archive: `open` gives the sink for its bytes, or an
// empty one when only its check is wanted (every member is decoded and checked, as a solid archive needs);
// `close` follows with its result. After a failure the sink may have had part of the member, or all of it
// (a CRC mismatch).
struct MemberStreamer {
    std::function<ByteSink(const MemberHeader& header)> open;
    std::function<void(const MemberHeader& header, ExtractResult result)> close;
};

// Extracts every member in one pass, in order, as a stream: memory stays at the decoder's window and a
// chunk of the archive whatever the size of the member. A solid archive is decoded once. The result is ok,
// or why the walk stopped before the end.
ExtractResult streamAll(ArchiveSource& archive, const MemberStreamer& streamer,
                        std::uint64_t* trailingBytes = nullptr);

// Extracts every member in one pass, in order, and reports each: its header, its result and, when that is
// ok, its bytes (valid during the call). A solid archive is decoded once. The result is ok, or why the walk
// stopped before the end.
using MemberCallback = std::function<void(const MemberHeader& header, ExtractResult result,
                                          std::span<const std::uint8_t> bytes)>;
ExtractResult extractAll(ArchiveSource& archive, const MemberCallback& callback,
                         std::uint64_t* trailingBytes = nullptr);

// Whether a wanted name names a stored one: case-insensitive (ASCII), `\`, `/` and `_` all alike.
bool memberNameMatches(std::string_view wanted, std::string_view stored);
