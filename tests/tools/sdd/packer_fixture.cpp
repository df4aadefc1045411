#include "tests/tools/sdd/packer_fixture.h"

#include "data/archive_reader.h"
#include "data/crc32.h"
#include "tests/data/unrar/reference_unpacker.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

const ArchiveWriter& PackerCrossCheck::pack(const PackOptions& options,
                                            const std::vector<ExpectedMember>& members, bool readInChunks) {
    packer_ = std::make_unique<ArchivePacker>(options);
    expected_ = members;
    for (const ExpectedMember& member : members) {
        if (!readInChunks) {
            EXPECT_TRUE(packer_->add(member.name, member.bytes)) << member.name;
            continue;
        }
        // Read where the packer asks, maybe on another thread, from the start again after a rewind.
        const std::span<const std::uint8_t> bytes = expected_.at(&member - members.data()).bytes;
        auto readAt = std::make_shared<std::size_t>(0);
        const MemberSource source{static_cast<std::uint32_t>(bytes.size()),
                                  crc32(bytes),
                                  [bytes, readAt](std::span<std::uint8_t> into) {
                                      if (into.size() > bytes.size() - *readAt)
                                          return false;
                                      std::ranges::copy(bytes.subspan(*readAt, into.size()), into.begin());
                                      *readAt += into.size();
                                      return true;
                                  },
                                  [readAt] {
                                      *readAt = 0;
                                      return true;
                                  },
                                  true,
                                  {}};
        EXPECT_TRUE(packer_->addFrom(member.name, defaultMemberTime, {}, source)) << member.name;
    }
    EXPECT_TRUE(packer_->good());
    return packer_->finish();
}

void PackerCrossCheck::expectEveryReaderExtracts(const ArchiveWriter& archive) {
    // node-unrar-js and ExtractMember, from memory and from the file.
    expectEveryUnpackerAgrees(archive);

    // Into an empty folder: a test may check several archives.
    std::filesystem::remove_all(folder_ / "unar");
    const ReferenceExtraction unar = extractWithUnar(folder_ / "test.sdd", folder_ / "unar");
    ASSERT_EQ(unar.error, "");
    EXPECT_EQ(unar.members.size(), expected_.size());

    std::map<std::string, std::vector<std::uint8_t>> onePass;
    MemoryArchiveSource source(archive.bytes());
    const ExtractResult walk = extractAll(
        source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            EXPECT_EQ(result, ExtractResult::ok) << header.name;
            onePass[header.name].assign(bytes.begin(), bytes.end());
        });
    EXPECT_EQ(walk, ExtractResult::ok);

    for (const ExpectedMember& member : expected_) {
        SCOPED_TRACE(member.name);
        const auto fromUnar = unar.members.find(extractedName(member.name));
        EXPECT_TRUE(fromUnar != unar.members.end() && fromUnar->second == member.bytes) << "unar differs";
        EXPECT_TRUE(onePass.contains(member.name) && onePass[member.name] == member.bytes)
            << "one-pass extraction differs";
    }
}

std::map<std::string, std::uint32_t> PackerCrossCheck::packedSizes(const ArchiveWriter& archive) {
    MemoryArchiveSource source(archive.bytes());
    std::vector<MemberHeader> members;
    EXPECT_EQ(listMembers(source, members), ExtractResult::ok);
    std::map<std::string, std::uint32_t> sizes;
    for (const MemberHeader& member : members)
        sizes[member.name] = member.packSize;
    return sizes;
}

std::vector<std::uint8_t> wordText(std::size_t size, unsigned seed) {
    static const char* const words[] = {"sun",    "mercury", "venus", "earth", "mars",  "jupiter", "saturn",
                                        "uranus", "neptune", "moon",  "ring",  "orbit", "comet",   "flare",
                                        "camera", "texture", "mesh",  "the",   "and",   "of"};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> text;
    while (text.size() < size) {
        const std::string_view word = words[random() % std::size(words)];
        text.insert(text.end(), word.begin(), word.end());
        text.push_back(random() % 9 == 0 ? '\n' : ' ');
    }
    text.resize(size);
    return text;
}

std::vector<std::uint8_t> interleavedSamples(std::size_t frames, int channels, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes;
    for (std::size_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < channels; ++channel) {
            const double wave = std::sin(static_cast<double>(frame) * (0.02 + 0.013 * channel) + channel);
            bytes.push_back(static_cast<std::uint8_t>(128 + 40 * channel + 60 * wave + random() % 5));
        }
    return bytes;
}
