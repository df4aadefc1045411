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
//
// Members arrive a piece at a time and their packed streams leave the same way, so the packer holds the
// decoder's window and a little more whatever the size of a member or of a solid archive: a match never
// reaches further back than the window, so older bytes are dropped.
class Rar20Encoder {
public:
    Rar20Encoder(const Rar20LzEffort& effort, bool tryMultimedia);

    // The next bytes of the member being packed, and the packed bytes ready so far. The first member
    // starts a fresh decoder, each later one goes on from the state the one before left.
    std::vector<std::uint8_t> add(std::span<const std::uint8_t> piece);
    // Ends the member: the rest of its packed stream. A member with no bytes has an empty stream and
    // changes nothing.
    std::vector<std::uint8_t> finishMember();

    // A whole member at once: its packed stream.
    std::vector<std::uint8_t> encode(std::span<const std::uint8_t> member);

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

    // Packs the stretches of history_ from packedEnd_ on that can be packed now: all of them once the
    // member is `complete`, else those followed by enough bytes that no search would find more with the
    // rest of the member there.
    void packStretches(bool complete);
    void packStretch(std::size_t begin, std::size_t end, std::size_t nextEnd);
    // Drops the bytes no match can reach any longer, once there are enough of them to be worth moving.
    void dropUnreachable();

    // The bytes the decoder's window holds, the member's bytes not yet packed, and, until enough of them
    // are worth dropping, bytes further back than any match can reach.
    std::vector<std::uint8_t> history_;
    std::size_t packedEnd_ = 0;   // where in history_ the bytes not yet packed start
    bool memberHasBytes_ = false; // whether the member being packed has had any
    BitWriter bits_;              // the packed stream of the member being packed, not yet given out
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
