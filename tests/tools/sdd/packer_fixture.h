#pragma once

#include "tests/data/unrar/crosscheck_fixture.h"
#include "tools/sdd/archive_packer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Packs members with ArchivePacker and checks that node-unrar-js, unar, ExtractMember and the one-pass
// extraction behind `sdd t` all give every member back byte for byte.
class PackerCrossCheck : public CrossCheck {
protected:
    // Packs `members` in order; the archive is kept for the checks. With `readInChunks`, each member is
    // read a chunk at a time from a source, as the tool reads a large file.
    const ArchiveWriter& pack(const PackOptions& options, const std::vector<ExpectedMember>& members,
                              bool readInChunks = false);

    // The checks above, each reader run once over the archive.
    void expectEveryReaderExtracts(const ArchiveWriter& archive);

    // The packed size of each member, by name.
    static std::map<std::string, std::uint32_t> packedSizes(const ArchiveWriter& archive);

private:
    std::unique_ptr<ArchivePacker> packer_;
};

// Test data: text made of words from a small vocabulary, and smooth interleaved sample channels.
std::vector<std::uint8_t> wordText(std::size_t size, unsigned seed);
std::vector<std::uint8_t> interleavedSamples(std::size_t frames, int channels, unsigned seed);
