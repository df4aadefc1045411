#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"
#include "data/member_extractor.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

// An archive whose headers are walked once, on construction, and whose members are then fetched by name, in
// any order, without walking it again. In a solid archive each member goes on from the decoder state of all
// the members before it; the decoder is kept between fetches and only ever moves forward, and the members
// it decodes on the way to a wanted one are kept until they are asked for (up to keptPassedBytes), so that a
// show loading every member in its own order decodes the archive once rather than once per member.
class IndexedArchive {
public:
    // Bytes of members decoded on the way to another that are kept for a later fetch. A member that does not
    // fit is decoded again from the start of the archive when it is asked for.
    static constexpr std::uint64_t keptPassedBytes = std::uint64_t{64} << 20;

    // Walks the headers of `source`, which must outlive this object.
    explicit IndexedArchive(ArchiveSource& source);

    // ok when the archive starts as one (its marker and main header); otherwise why not, and no members.
    ExtractResult status() const { return start_; }

    // The file headers in archive order, and ok or why the walk stopped before the end (the headers read
    // until then are listed either way).
    const std::vector<MemberHeader>& members() const { return members_; }
    ExtractResult walkResult() const { return walk_; }

    // Fills `out` with the first file whose name matches (memberNameMatches); on failure `out` is empty and
    // the result says why: notAFile when only a folder entry has the name, the walk's damage when the name
    // was not found before the walk stopped.
    ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out);

    // How many members the solid decoder has gone through since the index was made, counting each time a
    // member is decoded again: the work the fetches cost.
    std::uint64_t decodedMembers() const { return decodedMembers_; }

private:
    ExtractResult find(std::string_view memberName, std::size_t& at) const;
    ExtractResult fetchSolid(std::size_t at, std::vector<std::uint8_t>& out);

    struct Passed {
        ExtractResult result = ExtractResult::ok;
        std::vector<std::uint8_t> bytes;
    };

    ArchiveSource& source_;
    ExtractResult start_ = ExtractResult::ok;
    ExtractResult walk_ = ExtractResult::ok;
    bool solid_ = false;
    std::vector<MemberHeader> members_;

    std::unique_ptr<MemberExtractor> decoder_; // the solid stream's decoder, past every member before next_
    std::size_t next_ = 0;
    std::map<std::size_t, Passed> passed_; // by index in members_
    std::uint64_t passedBytes_ = 0;
    std::uint64_t decodedMembers_ = 0;
};
