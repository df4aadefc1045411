#include "fuzz/packer_round_trip.h"

#include "data/archive_reader.h"
#include "data/crc32.h"
#include "fuzz/damaged_archive_check.h"
#include "tools/sdd/archive_packer.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Past one stretch of the encoder (128 KiB), where it cuts and chooses tables again with tables in force.
constexpr std::size_t largestTiledMember = 300 * 1024;

} // namespace

std::string packerRoundTrip(std::span<const std::uint8_t> input) {
    if (input.size() < 2)
        return {};
    const std::uint8_t modes = input[0];
    PackOptions options;
    options.level = modes % 6;
    options.solid = (modes & 0x08) != 0;
    options.multimedia = (modes & 0x10) != 0;
    const bool tiled = (modes & 0x20) != 0;
    const int memberCount = 1 + input[1] % 4;
    std::span<const std::uint8_t> rest = input.subspan(2);

    std::vector<std::vector<std::uint8_t>> members;
    for (int i = 0; i < memberCount; ++i) {
        // Each member but the last says its own size in its first two bytes.
        std::size_t size = rest.size();
        if (i + 1 < memberCount && rest.size() >= 2) {
            size = std::min<std::size_t>(rest.size() - 2, rest[0] | rest[1] << 8);
            rest = rest.subspan(2);
        }
        std::vector<std::uint8_t> member(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(size));
        rest = rest.subspan(size);
        if (tiled && !member.empty()) {
            // Each copy takes the bytes in another order (a stride prime to nothing in particular), so
            // the copies share the statistics of the input but few long matches.
            for (std::size_t piece = 1; member.size() < largestTiledMember; ++piece)
                for (std::size_t j = 0; j < size && member.size() < largestTiledMember; ++j)
                    member.push_back(member[(j * (2 * piece + 1) + piece) % size]);
        }
        members.push_back(std::move(member));
    }

    ArchivePacker packer(options);
    for (std::size_t i = 0; i < members.size(); ++i)
        if (!packer.add("m" + std::to_string(i), members[i]))
            return "m" + std::to_string(i) + ": refused by the packer";
    const std::vector<std::uint8_t>& archive = packer.finish().bytes();

    std::map<std::string, std::vector<std::uint8_t>> extracted;
    std::string problem;
    MemoryArchiveSource source(archive);
    const ExtractResult walk = extractAll(
        source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            if (result != ExtractResult::ok && problem.empty())
                problem = header.name + ": " + describe(result);
            extracted[header.name].assign(bytes.begin(), bytes.end());
        });
    if (walk != ExtractResult::ok)
        return std::string("the archive: ") + describe(walk);
    if (!problem.empty())
        return problem;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string name = "m" + std::to_string(i);
        const auto found = extracted.find(name);
        if (found == extracted.end())
            return name + ": missing";
        if (found->second != members[i])
            return name + ": differs";
    }
    // The same archive damaged, at places the input picks.
    return damagedArchiveCheck(archive, options, crc32(input));
}
