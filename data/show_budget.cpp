#include "data/show_budget.h"

#include <algorithm>

namespace {

constexpr std::array<const char*, budgetItemCount> itemNames{"objects", "particles", "triangles",
                                                             "bytes of memory", "archive member reads"};

// "what" or "what and 4999 more".
std::string gathered(const std::string& first, std::uint64_t count) {
    return count > 1 ? first + " and " + std::to_string(count - 1) + " more" : first;
}

} // namespace

bool ShowBudget::take(const BudgetNeed& need, std::string_view what) {
    for (std::size_t item = 0; item < budgetItemCount; ++item) {
        if (need.amounts[item] <= limits[item] - used_[item])
            continue;
        Refusals& refusals = refusals_[item];
        if (refusals.count++ == 0)
            refusals.first = what;
        return false;
    }
    for (std::size_t item = 0; item < budgetItemCount; ++item)
        used_[item] += need.amounts[item];
    return true;
}

std::vector<std::string> ShowBudget::refusalMessages() const {
    std::vector<std::string> messages;
    for (std::size_t item = 0; item < budgetItemCount; ++item) {
        const Refusals& refusals = refusals_[item];
        if (refusals.count == 0)
            continue;
        messages.push_back(gathered(refusals.first, refusals.count) + " left out: a show may use at most " +
                           std::to_string(limits[item]) + " " + itemNames[item]);
    }
    for (const auto& [why, refusals] : leftOut_)
        messages.push_back(gathered(refusals.first, refusals.count) +
                           (why.empty() ? "" : " left out: " + why));
    return messages;
}

void ShowBudget::leaveOut(std::string_view what, std::string_view why) {
    auto reason = std::find_if(leftOut_.begin(), leftOut_.end(),
                               [why](const auto& entry) { return entry.first == why; });
    if (reason == leftOut_.end())
        reason = leftOut_.insert(leftOut_.end(), {std::string(why), Refusals{std::string(what), 0}});
    ++reason->second.count;
}
