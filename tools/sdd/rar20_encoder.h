#pragma once

#include "tools/sdd/bit_writer.h"
#include "tools/sdd/huffman_code.h"
#include "tools/sdd/rar20_lz_code.h"
#include "tools/sdd/rar20_lz_parser.h"
#include "tools/sdd/rar20_multimedia_coder.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The RAR 2.0 packer. Each member is cut into stretches; each stretch is coded with LZ, or with the
// multimedia delta predictor on 1 to 4 channels when asked and when that comes out smaller, under Huffman
// tables built from its own statistics, or under the tables already in use when those cost less than
// sending new ones. The packer follows the decoder's whole state (window, distance ring, tables, saved code
// lengths, predictors), so successive members of one encoder are a solid archive's continuations.
class Rar20Encoder {
public:
    Rar20Encoder(const Rar20LzEffort& effort, bool tryMultimedia);

    // The packed stream of the next member: the first starts a fresh decoder, each later one goes on from
    // the state the one before left. An empty member gives an empty stream and changes nothing.
    std::vector<std::uint8_t> encode(std::span<const std::uint8_t> member);
    // The same, taking the bytes over: the first member of an encoder is packed where it lies, not copied.
    std::vector<std::uint8_t> encode(std::vector<std::uint8_t>&& member);

    // The bytes packed so far, given back by an encoder that is done (a member that did not shrink is
    // stored from them).
    std::vector<std::uint8_t> takeHistory() { return std::move(history_); }

private:
    // One stretch of a member, coded one way, with the statistics and the cost of that way.
    struct Block {
        bool multimedia = false;
        int channelCount = 1;
        std::span<const Rar20LzCode> lzCodes; // a piece of lzCodes_
        std::vector<std::uint8_t> deltas;
        int firstChannel = 0;                 // the channel of deltas[0]
        Rar20MultimediaCoder multimediaAfter; // the predictors once the deltas are decoded
        std::vector<std::uint32_t> weights;   // per code-length index: how often that symbol is written
        std::uint64_t extraBits = 0;
        std::vector<std::uint8_t> lengths; // new code lengths for the weights
        bool keepTables = false;           // code with the tables in use; no table read
        bool keepOldLengths = false;       // the table read sends changes to the saved lengths
        std::uint64_t bits = 0;            // the cost of the cheapest way to write it
    };

    // The LZ blocks for data[begin, end) from the parse that costs least once cut; lz_ moves past them.
    // `nextEnd` is where the next stretch ends, if there is one now.
    std::vector<Block> cheapestLzBlocks(std::size_t begin, std::size_t end, std::size_t nextEnd);
    static Block lzBlockOf(std::span<const Rar20LzCode> codes);
    // The block of two neighbouring pieces' codes, from their statistics.
    static Block joinedLzBlock(const Block& first, const Block& second);
    // The codes as one block, or cut in halves (each perhaps cut again, `depth` times at most), whichever
    // costs less as planned now; the blocks come back planned, and `whole` gets the uncut block.
    std::vector<Block> cheapestSplit(std::span<const Rar20LzCode> codes, int depth, Block& whole) const;
    static std::uint64_t totalBits(const std::vector<Block>& blocks);
    Block multimediaBlock(std::size_t begin, std::size_t end, int channelCount) const;
    int likeliestChannelCount(std::size_t begin, std::size_t end) const;
    void plan(Block& block) const;
    std::uint64_t tableReadBits(const Block& block, bool keepOldLengths) const;
    bool canKeepOldLengths(const Block& block) const;
    void emit(const Block& block, BitWriter& bits);
    void put(BitWriter& bits, const HuffmanCode& code, unsigned symbol) const {
        bits.put(code.codes[symbol], code.lengths[symbol]);
    }

    // Packs history_ from `begin` on: the member just appended.
    std::vector<std::uint8_t> encodeFrom(std::size_t begin);

    std::vector<std::uint8_t> history_; // every byte packed so far: the decoder's window and more
    Rar20LzParser parser_;
    int splitDepth_;
    bool tryMultimedia_;
    Rar20LzState lz_;
    std::vector<Rar20LzCode> lzCodes_; // the codes of the stretch being packed, which its LZ blocks view
    Rar20MultimediaCoder multimedia_;

    // The decoder's tables: none before the first table read.
    bool haveTables_ = false;
    bool multimediaMode_ = false;
    std::array<std::uint8_t, rar20MaxChannels * rar20MultimediaSymbols> savedLengths_{};
    std::size_t savedLengthCount_ = 0; // how many of them the last table read set
    std::vector<HuffmanCode> codes_;   // main, distance, repeat length; or one per channel
};
