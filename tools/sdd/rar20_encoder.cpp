#include "tools/sdd/rar20_encoder.h"

#include "tools/sdd/rar20_table_writer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <numeric>

namespace {

// Long enough that tables cost little against the data; each is cut further where its statistics change.
constexpr std::size_t blockSize = 128 * 1024;
// A stretch is tried in halves, quarters and so on down to the effort's split depth, while each piece has at
// least smallestPiece codes: pieces with tables of their own are kept where they cost less than the whole.
constexpr std::size_t smallestPiece = 1024;

constexpr int lookAheadPaddingBits = 16;

// The bytes further back than any match reaches are dropped once there are this many: moving what is kept
// costs little beside packing a window of bytes, and every step kept would be memory held for nothing.
constexpr std::size_t dropStep = rar20WindowSize;
// The most the history holds: the window that matches reach into, less than a drop step of bytes no match
// reaches any longer, the stretches waiting to be packed with a window after them, and a part being added.
// A member larger than the window gets all of it at once, so that growing never holds an old copy beside a
// new one twice its size.
constexpr std::size_t mostHistory =
    rar20WindowSize + dropStep + 2 * blockSize + rar20WindowSize + rar20WindowSize;

// The stretch of bytes on which the multimedia coder's channel count is chosen.
constexpr std::size_t channelSampleSize = 16 * 1024;

struct Slice {
    std::size_t offset;
    std::size_t size;
};

// Where each table's code lengths lie in a table read.
std::vector<Slice> tableSlices(bool multimedia, int channelCount) {
    if (!multimedia)
        return {{0, rar20MainSymbols},
                {rar20DistanceLengthsAt, rar20DistanceSymbols},
                {rar20RepeatLengthLengthsAt, rar20RepeatLengthSymbols}};
    std::vector<Slice> slices;
    for (int channel = 0; channel < channelCount; ++channel)
        slices.push_back(
            {static_cast<std::size_t>(channel) * rar20MultimediaSymbols, rar20MultimediaSymbols});
    return slices;
}

// The bits the symbols take with these code lengths; none when a symbol in use has no code.
std::optional<std::uint64_t> symbolBits(std::span<const std::uint32_t> weights,
                                        std::span<const std::uint8_t> lengths) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] != 0 && lengths[i] == 0)
            return std::nullopt;
        bits += std::uint64_t{weights[i]} * lengths[i];
    }
    return bits;
}

} // namespace

Rar20Encoder::Rar20Encoder(const Rar20LzEffort& effort, bool tryMultimedia)
    : parser_(history_, effort), splitDepth_(effort.splitDepth), tryMultimedia_(tryMultimedia) {}

std::vector<std::uint8_t> Rar20Encoder::encode(std::span<const std::uint8_t> member) {
    std::vector<std::uint8_t> packed = add(member);
    const std::vector<std::uint8_t> rest = finishMember();
    packed.insert(packed.end(), rest.begin(), rest.end());
    return packed;
}

std::vector<std::uint8_t> Rar20Encoder::add(std::span<const std::uint8_t> piece) {
    // Taken a window at a time, so that a large piece is never copied whole.
    while (!piece.empty()) {
        const std::span<const std::uint8_t> part = piece.first(std::min(piece.size(), rar20WindowSize));
        piece = piece.subspan(part.size());
        // The parser may still be reading the data on another thread.
        parser_.settle();
        dropUnreachable();
        if (history_.size() + part.size() > std::max(history_.capacity(), rar20WindowSize))
            history_.reserve(mostHistory);
        history_.insert(history_.end(), part.begin(), part.end());
        memberHasBytes_ = true;
        packStretches(false);
    }
    return bits_.takeWholeBytes();
}

std::vector<std::uint8_t> Rar20Encoder::finishMember() {
    if (!memberHasBytes_)
        return {};
    packStretches(true);
    memberHasBytes_ = false;
    // Some unpackers look 16 bits ahead while decoding the last code and fail when those bits are not
    // there. Zero bits, and fewer than the five unread bytes at which decoders look for a table switch
    // after a member's end.
    bits_.put(0, lookAheadPaddingBits);
    return bits_.take();
}

void Rar20Encoder::dropUnreachable() {
    // A multiple of the window, as the match finder needs, and in steps of several, as every step moves
    // the bytes kept and every position the finder holds.
    const std::size_t unreachable = packedEnd_ > rar20WindowSize ? packedEnd_ - rar20WindowSize : 0;
    const std::size_t count = unreachable / rar20WindowSize * rar20WindowSize;
    if (count < dropStep)
        return;
    parser_.dropFront(count);
    history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(count));
    packedEnd_ -= count;
}

void Rar20Encoder::packStretches(bool complete) {
    // A stretch is packed once the next one is there too (its matches are collected meanwhile) and a
    // window beyond: the match finder sizes its index and orders positions by the bytes that follow, so
    // with that many it finds what it would with the whole member.
    const std::size_t ahead = complete ? 0 : blockSize + rar20WindowSize;
    const auto stretchEnd = [this](std::size_t from) { return std::min(history_.size(), from + blockSize); };
    while (packedEnd_ < history_.size()) {
        const std::size_t end = stretchEnd(packedEnd_);
        if (end + ahead > history_.size() || (!complete && end - packedEnd_ < blockSize))
            return;
        packStretch(packedEnd_, end, end < history_.size() ? stretchEnd(end) : 0);
        packedEnd_ = end;
    }
}

void Rar20Encoder::packStretch(std::size_t begin, std::size_t end, std::size_t nextEnd) {
    const Rar20LzState lzBefore = lz_;
    // The last stretch's blocks are written: its codes' room serves this one's.
    parser_.reuseForCodes(std::move(lzCodes_));
    std::vector<Block> blocks = cheapestLzBlocks(begin, end, nextEnd);
    if (tryMultimedia_) {
        Block trial = multimediaBlock(begin, end, likeliestChannelCount(begin, end));
        plan(trial);
        if (trial.bits < totalBits(blocks)) {
            blocks.clear();
            blocks.push_back(std::move(trial));
            // The decoder's distance ring only moves in LZ mode.
            lz_ = lzBefore;
        }
    }
    for (Block& block : blocks) {
        // Planned again: the tables in use are now those the block before sent.
        plan(block);
        emit(block, bits_);
    }
}

std::vector<Rar20Encoder::Block> Rar20Encoder::cheapestLzBlocks(std::size_t begin, std::size_t end,
                                                                std::size_t nextEnd) {
    std::vector<Block> cheapest;
    for (Rar20LzParse& parse : parser_.parse(begin, end, lz_, nextEnd)) {
        Block whole;
        std::vector<Block> blocks = cheapestSplit(parse.codes, splitDepth_, whole);
        if (cheapest.empty() || totalBits(blocks) < totalBits(cheapest)) {
            cheapest = std::move(blocks);
            // The blocks view the parse's codes; moving the vector keeps them where they are.
            lzCodes_ = std::move(parse.codes);
            lz_ = parse.stateAfter;
        }
    }
    return cheapest;
}

Rar20Encoder::Block Rar20Encoder::lzBlockOf(std::span<const Rar20LzCode> codes) {
    Block block;
    block.lzCodes = codes;
    block.weights = lzSymbolWeights(codes);
    for (const Rar20LzCode& code : codes)
        block.extraBits += code.mainExtraBits + code.secondExtraBits;
    // The tables in use must always be able to ask for new ones.
    block.weights[rar20LzTableSwitchSymbol] = std::max(block.weights[rar20LzTableSwitchSymbol], 1u);
    return block;
}

Rar20Encoder::Block Rar20Encoder::joinedLzBlock(const Block& first, const Block& second) {
    Block block;
    block.lzCodes = std::span(first.lzCodes.data(), first.lzCodes.size() + second.lzCodes.size());
    block.weights.resize(first.weights.size());
    std::transform(first.weights.begin(), first.weights.end(), second.weights.begin(), block.weights.begin(),
                   std::plus<>());
    // LZ codes never switch tables, so each half counts the one switch its tables need, as the whole does.
    block.weights[rar20LzTableSwitchSymbol] = first.weights[rar20LzTableSwitchSymbol];
    block.extraBits = first.extraBits + second.extraBits;
    return block;
}

std::vector<Rar20Encoder::Block> Rar20Encoder::cheapestSplit(std::span<const Rar20LzCode> codes, int depth,
                                                             Block& whole) const {
    if (depth == 0 || codes.size() < 2 * smallestPiece) {
        whole = lzBlockOf(codes);
        plan(whole);
        return {whole};
    }
    // The halves are counted once, at the bottom; each whole adds up its halves.
    Block firstHalf, secondHalf;
    std::vector<Block> pieces = cheapestSplit(codes.first(codes.size() / 2), depth - 1, firstHalf);
    std::vector<Block> secondPieces = cheapestSplit(codes.subspan(codes.size() / 2), depth - 1, secondHalf);
    whole = joinedLzBlock(firstHalf, secondHalf);
    plan(whole);
    if (totalBits(pieces) + totalBits(secondPieces) < whole.bits) {
        std::move(secondPieces.begin(), secondPieces.end(), std::back_inserter(pieces));
        return pieces;
    }
    return {whole};
}

std::uint64_t Rar20Encoder::totalBits(const std::vector<Block>& blocks) {
    std::uint64_t bits = 0;
    for (const Block& block : blocks)
        bits += block.bits;
    return bits;
}

Rar20Encoder::Block Rar20Encoder::multimediaBlock(std::size_t begin, std::size_t end,
                                                  int channelCount) const {
    Block block;
    block.multimedia = true;
    block.channelCount = channelCount;
    Rar20MultimediaCoder coder = multimedia_;
    coder.setChannelCount(channelCount);
    block.firstChannel = coder.currentChannel();
    block.weights.assign(static_cast<std::size_t>(channelCount) * rar20MultimediaSymbols, 0);
    block.deltas.reserve(end - begin);
    for (std::size_t at = begin; at < end; ++at) {
        const auto channel = static_cast<std::size_t>(coder.currentChannel());
        const std::uint8_t delta = coder.code(history_[at]);
        ++block.weights[channel * rar20MultimediaSymbols + delta];
        block.deltas.push_back(delta);
    }
    for (int channel = 0; channel < channelCount; ++channel)
        block.weights[static_cast<std::size_t>(channel) * rar20MultimediaSymbols +
                      rar20MultimediaTableSwitchSymbol] = 1;
    block.multimediaAfter = coder;
    return block;
}

int Rar20Encoder::likeliestChannelCount(std::size_t begin, std::size_t end) const {
    // Coding the whole stretch four ways would cost four times the time for little gain: the deltas of
    // its start, measured by their entropy, tell the channel layout well enough.
    const std::size_t sampleEnd = std::min(end, begin + channelSampleSize);
    int best = 1;
    double bestBits = 0;
    for (int channels = 1; channels <= rar20MaxChannels; ++channels) {
        Rar20MultimediaCoder coder = multimedia_;
        coder.setChannelCount(channels);
        std::vector<std::uint32_t> counts(static_cast<std::size_t>(channels) * 256, 0);
        for (std::size_t at = begin; at < sampleEnd; ++at) {
            const auto channel = static_cast<std::size_t>(coder.currentChannel());
            ++counts[channel * 256 + coder.code(history_[at])];
        }
        double bits = 0;
        for (std::size_t channel = 0; channel < static_cast<std::size_t>(channels); ++channel) {
            const auto first = counts.begin() + static_cast<std::ptrdiff_t>(channel * 256);
            const double total = std::accumulate(first, first + 256, 0.0);
            for (auto count = first; count != first + 256; ++count)
                bits += *count == 0 ? 0 : *count * std::log2(total / *count);
        }
        if (channels == 1 || bits < bestBits) {
            best = channels;
            bestBits = bits;
        }
    }
    return best;
}

bool Rar20Encoder::canKeepOldLengths(const Block& block) const {
    // Only lengths the last table read set are the same in every decoder; the rest are not to be relied on.
    return haveTables_ && savedLengthCount_ >= block.weights.size();
}

std::uint64_t Rar20Encoder::tableReadBits(const Block& block, bool keepOldLengths) const {
    return rar20TableReadBits(block.multimedia, block.lengths,
                              keepOldLengths ? std::span(savedLengths_).first(block.lengths.size())
                                             : std::span<const std::uint8_t>());
}

void Rar20Encoder::plan(Block& block) const {
    block.lengths.assign(block.weights.size(), 0);
    for (const Slice& slice : tableSlices(block.multimedia, block.channelCount)) {
        const std::vector<std::uint8_t> lengths =
            codeLengthsFromWeights(std::span(block.weights).subspan(slice.offset, slice.size));
        std::copy(lengths.begin(), lengths.end(),
                  block.lengths.begin() + static_cast<std::ptrdiff_t>(slice.offset));
    }

    // A block is planned more than once (while a stretch is cut, then against the tables the block before it
    // sent), so every choice is made afresh: one left over from other tables would write symbols they lack.
    block.keepTables = false;
    block.keepOldLengths = false;
    std::uint64_t tableBits = tableReadBits(block, false);
    if (canKeepOldLengths(block)) {
        const std::uint64_t changeBits = tableReadBits(block, true);
        block.keepOldLengths = changeBits < tableBits;
        tableBits = std::min(tableBits, changeBits);
    }
    block.bits = tableBits + *symbolBits(block.weights, block.lengths) + block.extraBits;

    const bool sameTables = haveTables_ && multimediaMode_ == block.multimedia &&
                            (!block.multimedia || multimedia_.channelCount() == block.channelCount);
    if (sameTables) {
        const std::optional<std::uint64_t> keptBits =
            symbolBits(block.weights, std::span(savedLengths_).first(block.weights.size()));
        if (keptBits && *keptBits + block.extraBits <= block.bits) {
            block.keepTables = true;
            block.bits = *keptBits + block.extraBits;
        }
    }
}

void Rar20Encoder::emit(const Block& block, BitWriter& bits) {
    if (!block.keepTables) {
        // A fresh decoder reads tables first thing; one with tables must be asked for new ones.
        if (haveTables_) {
            if (multimediaMode_)
                put(bits, codes_[static_cast<std::size_t>(multimedia_.currentChannel())],
                    rar20MultimediaTableSwitchSymbol);
            else
                put(bits, codes_[0], rar20LzTableSwitchSymbol);
        }
        const std::span<const std::uint8_t> lengths(block.lengths);
        writeRar20TableRead(bits, block.multimedia, block.channelCount, lengths,
                            block.keepOldLengths ? std::span(savedLengths_).first(lengths.size())
                                                 : std::span<const std::uint8_t>());
        std::copy(lengths.begin(), lengths.end(), savedLengths_.begin());
        savedLengthCount_ = lengths.size();
        codes_.clear();
        for (const Slice& slice : tableSlices(block.multimedia, block.channelCount))
            codes_.push_back(*canonicalCode(lengths.subspan(slice.offset, slice.size)));
        haveTables_ = true;
        multimediaMode_ = block.multimedia;
        if (!block.multimedia)
            parser_.useCodeLengths(lengths);
    }

    if (block.multimedia) {
        auto channel = static_cast<std::size_t>(block.firstChannel);
        for (std::uint8_t delta : block.deltas) {
            put(bits, codes_[channel], delta);
            if (++channel == static_cast<std::size_t>(block.channelCount))
                channel = 0;
        }
        multimedia_ = block.multimediaAfter;
        return;
    }
    const HuffmanCode& distanceCode = codes_[1];
    const HuffmanCode& repeatLengthCode = codes_[2];
    for (const Rar20LzCode& code : block.lzCodes) {
        put(bits, codes_[0], code.mainSymbol);
        if (code.mainExtraBits != 0)
            bits.put(code.mainExtra, code.mainExtraBits);
        if (code.second == Rar20LzCode::Second::distance)
            put(bits, distanceCode, code.secondSymbol);
        else if (code.second == Rar20LzCode::Second::repeatLength)
            put(bits, repeatLengthCode, code.secondSymbol);
        if (code.secondExtraBits != 0)
            bits.put(code.secondExtra, code.secondExtraBits);
    }
}
