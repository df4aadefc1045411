#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a whole show may ask of the machine. Each kind is capped on its own elsewhere (a particle system's
// count, a picture's size), but a show file could still ask for thousands of such things; the budget caps the
// totals while the show loads, so loading stays within a few hundred megabytes and a frame under a second.
// The limits are twenty times and more what the project's own show uses.
enum class BudgetItem { objects, particles, triangles, texturePixels };

inline constexpr std::size_t budgetItemCount = 4;

// One thing the loader is about to keep: how much of each item it needs.
struct BudgetNeed {
    std::array<std::uint64_t, budgetItemCount> amounts{};

    BudgetNeed& add(BudgetItem item, std::uint64_t amount) {
        amounts[static_cast<std::size_t>(item)] += amount;
        return *this;
    }
};

class ShowBudget {
public:
    // Objects of every script; particles of every system (each a glowing sprite hundreds of units wide, so
    // their count sets the frame time more than their memory); triangles compiled from mesh files plus those
    // every sphere and mesh draws each frame; pixels of every texture.
    static constexpr std::array<std::uint64_t, budgetItemCount> limits{2'000, 20'000, 3'000'000,
                                                                       std::uint64_t{128} << 20};

    // Takes the whole need when every item of it fits in what is left, and says so. Otherwise takes nothing
    // and counts a refusal against the first item that does not fit; `what` ("solar.txt line 12: ps
    // \"storm\"") is kept from the first refusal of each item for the message.
    bool take(const BudgetNeed& need, std::string_view what);

    std::uint64_t used(BudgetItem item) const { return used_[static_cast<std::size_t>(item)]; }

    // One message per item that refused something: where the first refusal was, how many more there were,
    // and the limit.
    std::vector<std::string> refusalMessages() const;

private:
    struct Refusals {
        std::string first;
        std::uint64_t count = 0;
    };
    std::array<std::uint64_t, budgetItemCount> used_{};
    std::array<Refusals, budgetItemCount> refusals_;
};

// The budget of the show being loaded; the saver run starts it afresh before each load.
extern ShowBudget showBudget;
