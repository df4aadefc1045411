#include "tools/sdd/huffman_code.h"

#include <algorithm>
#include <utility>

std::optional<HuffmanCode> canonicalCode(std::span<const std::uint8_t> lengths) {
    HuffmanCode code{std::vector<std::uint8_t>(lengths.begin(), lengths.end()),
                     std::vector<std::uint16_t>(lengths.size(), 0)};
    // Kraft sum in units of 2^-15: a prefix code cannot spend more than the whole code space.
    std::uint32_t spent = 0;
    for (std::uint8_t length : lengths) {
        if (length > maxCodeLength)
            return std::nullopt;
        if (length != 0)
            spent += 1u << (maxCodeLength - length);
    }
    if (spent > 1u << maxCodeLength)
        return std::nullopt;

    std::uint32_t next = 0;
    for (int length = 1; length <= maxCodeLength; ++length) {
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
            if (lengths[symbol] == length)
                code.codes[symbol] = static_cast<std::uint16_t>(next++);
        }
        next <<= 1;
    }
    return code;
}

namespace {

// Plain Huffman construction; the depths may exceed any limit. Each step joins the two lightest nodes, the
// lower node number first among equal weights. The leaves are sorted once; the joined nodes come out in
// order of weight by themselves, so the lightest node is always at the head of one of the two queues. A
// node is one number, its weight above its node number, so that sorting and comparing are plain integer
// work: the packer builds codes for every way it weighs cutting a stretch into blocks.
// Up to 2^15 symbols make at most 2^16 nodes; their 32-bit weights sum to less than 2^48.
constexpr int nodeBits = 16;

std::vector<std::uint8_t> huffmanDepths(std::span<const std::uint32_t> weights) {
    using Entry = std::uint64_t; // weight << nodeBits | node; symbols are the nodes below weights.size()
    const auto nodeOf = [](Entry entry) { return static_cast<std::size_t>(entry & ((1u << nodeBits) - 1)); };
    std::vector<Entry> leaves;
    for (std::size_t symbol = 0; symbol < weights.size(); ++symbol) {
        if (weights[symbol] != 0)
            leaves.push_back(Entry{weights[symbol]} << nodeBits | symbol);
    }
    std::vector<std::uint8_t> depths(weights.size(), 0);
    if (leaves.size() == 1) {
        depths[nodeOf(leaves[0])] = 1;
        return depths;
    }
    std::sort(leaves.begin(), leaves.end());
    std::vector<Entry> joined;
    joined.reserve(leaves.size());
    std::vector<int> parent(weights.size() + leaves.size(), -1);
    std::size_t nextLeaf = 0, nextJoined = 0;
    const auto takeLightest = [&] {
        if (nextJoined == joined.size() ||
            (nextLeaf < leaves.size() && leaves[nextLeaf] < joined[nextJoined]))
            return leaves[nextLeaf++];
        return joined[nextJoined++];
    };
    while (leaves.size() - nextLeaf + joined.size() - nextJoined > 1) {
        const Entry a = takeLightest();
        const Entry b = takeLightest();
        const std::size_t node = weights.size() + joined.size();
        parent[nodeOf(a)] = static_cast<int>(node);
        parent[nodeOf(b)] = static_cast<int>(node);
        joined.push_back(((a >> nodeBits) + (b >> nodeBits)) << nodeBits | node);
    }
    // A parent's number is above its children's, so going down the numbers finds each parent's depth first.
    std::vector<int> depth(parent.size(), 0);
    for (std::size_t node = parent.size(); node-- > 0;) {
        if (parent[node] >= 0)
            depth[node] = depth[static_cast<std::size_t>(parent[node])] + 1;
    }
    for (std::size_t symbol = 0; symbol < weights.size(); ++symbol) {
        if (weights[symbol] != 0)
            depths[symbol] = static_cast<std::uint8_t>(std::min(depth[symbol], 255));
    }
    return depths;
}

} // namespace

std::vector<std::uint8_t> codeLengthsFromWeights(std::span<const std::uint32_t> weights, int maxLength) {
    std::vector<std::uint32_t> flattened(weights.begin(), weights.end());
    for (;;) {
        std::vector<std::uint8_t> depths = huffmanDepths(flattened);
        if (depths.empty() || *std::max_element(depths.begin(), depths.end()) <= maxLength)
            return depths;
        // Too deep: bring the weights closer together (keeping every used symbol used) and build again.
        for (std::uint32_t& weight : flattened) {
            if (weight != 0)
                weight = weight / 2 + 1;
        }
    }
}
