// Any bytes as an archive: the walk, the listing and the extraction of every member must end in a result,
// never outside the input or the unpacker's buffers.
#include "data/archive_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryArchiveSource source({data, size});

    std::vector<MemberHeader> members;
    listMembers(source, members);

    std::size_t extracted = 0;
    std::uint64_t walkedTo = 0;
    extractAll(source,
               [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
                   if (result == ExtractResult::ok && bytes.size() != header.unpSize)
                       std::abort();
                   if (result != ExtractResult::ok && !bytes.empty())
                       std::abort();
                   // A damaged header never comes out, and the walk only ever goes forward.
                   if (header.damage != ExtractResult::ok && result != header.damage)
                       std::abort();
                   if (header.headerOffset < walkedTo || header.headerOffset >= size)
                       std::abort();
                   walkedTo = header.headerOffset + 1;
                   ++extracted;
               });
    if (extracted > members.size())
        std::abort();

    // The lookup by name, on the last member (in a solid archive it decodes every member before it).
    if (!members.empty()) {
        std::vector<std::uint8_t> out;
        if (!ExtractMember(members.back().name, std::span(data, size), out) && !out.empty())
            std::abort();
    }
    return 0;
}
