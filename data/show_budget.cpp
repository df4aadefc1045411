#include "data/show_budget.h"

ShowBudget showBudget;

namespace {

constexpr std::array<const char*, budgetItemCount> itemNames{"objects", "particles", "triangles",
                                                             "texture pixels"};

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
        std::string message = refusals.first;
        if (refusals.count > 1)
            message += " and " + std::to_string(refusals.count - 1) + " more";
        message +=
            " left out: a show may use at most " + std::to_string(limits[item]) + " " + itemNames[item];
        messages.push_back(std::move(message));
    }
    return messages;
}
