// Loading every member of an archive the way a show does, by name and in an order of its own (here the
// archive's order backwards, the worst for a solid stream): through one index of the archive, as a loaded
// show reads, against a walk from the start for each member. Prints wall time and how many members the solid
// decoder went through. member_fetch_bench ARCHIVE
#include "data/archive_reader.h"
#include "data/indexed_archive.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: member_fetch_bench ARCHIVE\n");
        return 2;
    }
    FileArchiveSource source(argv[1]);
    std::vector<MemberHeader> members;
    if (!source.isOpen() || listMembers(source, members) != ExtractResult::ok) {
        std::fprintf(stderr, "member_fetch_bench: %s: not a readable archive\n", argv[1]);
        return 1;
    }
    std::uint64_t bytes = 0;
    for (const MemberHeader& member : members)
        bytes += member.unpSize;
    std::printf("%s: %zu members, %.1f MiB unpacked\n", argv[1], members.size(), bytes / 1048576.0);

    std::vector<std::uint8_t> out;
    Clock::time_point start = Clock::now();
    IndexedArchive index(source);
    for (auto member = members.rbegin(); member != members.rend(); ++member)
        index.fetch(member->name, out);
    std::printf("one index:           %8.3f s, %llu members decoded\n", secondsSince(start),
                static_cast<unsigned long long>(index.decodedMembers()));

    start = Clock::now();
    std::uint64_t decoded = 0;
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
        IndexedArchive walkedAgain(source);
        walkedAgain.fetch(member->name, out);
        decoded += walkedAgain.decodedMembers();
    }
    std::printf("a walk per member:   %8.3f s, %llu members decoded\n", secondsSince(start),
                static_cast<unsigned long long>(decoded));
    return 0;
}
