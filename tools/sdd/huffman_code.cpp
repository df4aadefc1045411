#include "tools/sdd/huffman_code.h"

#include <algorithm>
#include <functional>
#include <queue>
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

// Plain Huffman construction; the depths may exceed any limit.
std::vector<std::uint8_t> huffmanDepths(std::span<const std::uint32_t> weights) {
    struct Node {
        int parent = -1;
    };
    std::vector<Node> nodes(weights.size());
    using Entry = std::pair<std::uint64_t, int>; // weight, node; ties go to the lower node number
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (std::size_t symbol = 0; symbol < weights.size(); ++symbol) {
        if (weights[symbol] != 0)
            queue.emplace(weights[symbol], static_cast<int>(symbol));
    }
    std::vector<std::uint8_t> depths(weights.size(), 0);
    if (queue.size() == 1) {
        depths[static_cast<std::size_t>(queue.top().second)] = 1;
        return depths;
    }
    while (queue.size() > 1) {
        const Entry a = queue.top();
        queue.pop();
        const Entry b = queue.top();
        queue.pop();
        const int parent = static_cast<int>(nodes.size());
        nodes.push_back({});
        nodes[static_cast<std::size_t>(a.second)].parent = parent;
        nodes[static_cast<std::size_t>(b.second)].parent = parent;
        queue.emplace(a.first + b.first, parent);
    }
    for (std::size_t symbol = 0; symbol < weights.size(); ++symbol) {
        if (weights[symbol] == 0)
            continue;
        int depth = 0;
        for (int node = static_cast<int>(symbol); nodes[static_cast<std::size_t>(node)].parent >= 0;
             node = nodes[static_cast<std::size_t>(node)].parent)
            ++depth;
        depths[symbol] = static_cast<std::uint8_t>(std::min(depth, 255));
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
