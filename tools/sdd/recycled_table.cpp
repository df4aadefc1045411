#include "tools/sdd/recycled_table.h"

#include <algorithm>
#include <utility>

namespace {

// Few: a thread packs one member at a time, and each takes two tables.
constexpr std::size_t mostSpares = 4;

struct Spare {
    std::uint32_t fill;
    std::vector<std::uint32_t> values;
};

thread_local std::vector<Spare> spares;

} // namespace

RecycledTable::RecycledTable(std::uint32_t fill) : fill_(fill) {
    const auto spare = std::ranges::find(spares, fill, &Spare::fill);
    if (spare == spares.end()) {
        values_.assign(size, fill);
        return;
    }
    values_ = std::move(spare->values);
    spares.erase(spare);
}

RecycledTable::~RecycledTable() {
    if (values_.size() == size && spares.size() < mostSpares)
        spares.push_back({fill_, std::move(values_)});
}

void RecycledTable::resetAll() {
    std::ranges::fill(values_, fill_);
}
