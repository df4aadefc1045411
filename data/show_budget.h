#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a whole show may ask of the machine. Each kind is capped on its own elsewhere (a particle system's
// count, a picture's size), but a show file could still ask for thousands of such things; the budget caps the
// totals while the show loads, so loading stays within a few hundred megabytes and a frame under a second.
// The limits are twenty times and more what the project's own show uses, except memory: its pictures, meshes
// and music take about a fifth of the limit.
enum class BudgetItem { objects, particles, triangles, memory, memberReads };

inline constexpr std::size_t budgetItemCount = 5;

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
    // every sphere and mesh draws each frame; bytes the show keeps (textures with their mipmaps, meshes, the
    // decoded music), which with the decoders' own work and the program's keeps a run under 512 MB; the
    // members the texture list and the geometry lines read, each a walk through the archive (a name read once
    // is not read again, but a list of a hundred thousand names would take minutes).
    static constexpr std::array<std::uint64_t, budgetItemCount> limits{2'000, 20'000, 3'000'000,
                                                                       std::uint64_t{256} << 20, 1'000};

    // Takes the whole need when every item of it fits in what is left, and says so. Otherwise takes nothing
    // and counts a refusal against the first item that does not fit; `what` ("solar.txt line 12: ps
    // \"storm\"") is kept from the first refusal of each item for the message.
    bool take(const BudgetNeed& need, std::string_view what);

    std::uint64_t used(BudgetItem item) const { return used_[static_cast<std::size_t>(item)]; }

    // Records a member the show leaves out for a reason other than the budget: `what` names it
    // ("meshes\\rock.dat"), `why` says what is wrong with it ("CRC mismatch", "not a picture"). Members left
    // out for the same reason are gathered into one message. An empty `why` makes `what` the whole message.
    void leaveOut(std::string_view what, std::string_view why);

    // One message per item that refused something: where the first refusal was, how many more there were,
    // and the limit; then one per reason members were left out for, in the order they first came.
    std::vector<std::string> refusalMessages() const;

private:
    struct Refusals {
        std::string first;
        std::uint64_t count = 0;
    };
    std::array<std::uint64_t, budgetItemCount> used_{};
    std::array<Refusals, budgetItemCount> refusals_;
    std::vector<std::pair<std::string, Refusals>> leftOut_; // by reason
};
