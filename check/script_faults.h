#pragma once

#include "check/show_check.h"
#include "objects/script_reader.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// Turns what the readers tell a check about the show's lines into faults that say what to do.
class ScriptFaults final : public ScriptObserver {
public:
    explicit ScriptFaults(std::vector<ShowFault>& faults) : faults_(faults) {}

    void unknownLine(const ScriptReader& script, std::span<const std::string_view> known) override;
    void keywordLine(const ScriptReader& script, const BlockKeyword& keyword) override;
    void unfinishedBlock(const ScriptReader& script, int start) override;
    void unresolvedName(const ScriptReader& script, std::string_view what, std::string_view name) override;
    void geometryLine(const ScriptReader& script, std::string_view meshName) override;

    // The files a fault has named as missing: the budget's own note about them says nothing more.
    const std::set<std::string>& missingFiles() const { return missingFiles_; }
    void noteMissingFile(std::string name) { missingFiles_.insert(std::move(name)); }

private:
    void add(const ScriptReader& script, std::string message);

    // Outside blocks the scripts hold prose as well as keywords, so an unknown word there is a fault only
    // when it plainly was meant as a keyword: a "begin" line follows it, or it is a short line that a
    // letter or two away from a keyword.
    struct TopLevelLine {
        std::string file;
        int line = 0;
        std::string word;
        std::vector<std::string_view> known;
    };
    std::optional<TopLevelLine> lastUnknown_;

    std::vector<ShowFault>& faults_;
    std::set<std::string> missingFiles_;
};
