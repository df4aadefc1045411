#pragma once

#include "tests/data/unrar/rar20_stream_builder.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A member as every unpacker must extract it.
struct ExpectedMember {
    std::string name; // with `\` between folders, as stored
    std::vector<std::uint8_t> bytes;
};

// Tables in which every symbol has a code, with lengths from pseudo-random weights (so lengths of 2 to 15
// bits mix); different seeds give different codes.
LzTables everySymbolLzTables(unsigned seed);
MultimediaTable everySymbolMultimediaTable(unsigned seed);

std::vector<std::uint8_t> pseudoRandomBytes(std::size_t count, unsigned seed);

// Each test works in its own temporary folder. The ground truth is node-unrar-js: every member must come out
// of it, of our ExtractMember (from memory and from the file) and of the stream builder byte for byte the
// same.
class CrossCheck : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Ends the builder's member and adds it to the archive as packed data, remembering what it must give.
    void addPacked(ArchiveWriter& archive, const std::string& name, Rar20StreamBuilder& builder);
    void addStored(ArchiveWriter& archive, const std::string& name, const std::vector<std::uint8_t>& bytes);

    // Saves the archive, extracts it once with node-unrar-js and compares every expected member.
    void expectEveryUnpackerAgrees(const ArchiveWriter& archive);

    std::filesystem::path folder_;
    std::vector<ExpectedMember> expected_;
};

// The name an unpacker on this system gives a stored name: `\` becomes `/`.
std::string extractedName(const std::string& storedName);
