#include "check/script_faults.h"

#include "check/nearest_keyword.h"
#include "data/show_budget.h"
#include "data/texture_registry.h"
#include "objects/mesh_file.h"
#include "objects/object_script_reader.h"
#include "objects/script_scan.h"
#include "objects/show.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    while (true) {
        const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
        if (start == line.end())
            return words;
        const auto end = std::find_if(start, line.end(), isBlank);
        words.emplace_back(start, end);
        line = {end, line.end()};
    }
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// " (did you mean "sphere"?)" when a keyword is near enough to be the one meant.
std::string suggestion(std::string_view word, std::span<const std::string_view> known) {
    const std::string_view nearest = nearestKeyword(word, known);
    if (nearest.empty() || editDistance(word, nearest) > std::max<std::size_t>(2, word.size() / 2))
        return {};
    return " (did you mean " + quoted(nearest) + "?)";
}

// How a pattern reads to an author: "radius NUMBER", "parent NAME V(NUMBER NUMBER NUMBER)".
std::string readable(std::string_view pattern) {
    std::string text;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '%' && at + 1 < pattern.size()) {
            text += pattern[++at] == 'f' ? "NUMBER" : "NAME";
        } else {
            text += pattern[at];
        }
    }
    return text;
}

std::string number(float value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

} // namespace

void ScriptFaults::add(const ScriptReader& script, std::string message) {
    faults_.push_back({script.name(), script.lineNumber(), std::move(message)});
}

void ScriptFaults::unknownLine(const ScriptReader& script, std::span<const std::string_view> known) {
    const std::vector<std::string_view> words = wordsOf(script.line());
    if (words.empty())
        return; // blank lines are for the reader's eye
    // Inside a block the reader offers "end" among the keywords; outside one it never does.
    const bool inBlock = std::find(known.begin(), known.end(), "end") != known.end();
    if (inBlock) {
        // A keyword that starts a new object (or world, or environment) or ends the file: the block before
        // it has no "end", and everything after it up to the next "end" is read as part of that block.
        std::vector<std::string_view> outer = objectLineKeywords();
        outer.insert(outer.end(), {"world", "WORLD_END", "env", "ENV_END"});
        if (std::find(outer.begin(), outer.end(), words[0]) != outer.end()) {
            add(script, quoted(words[0]) + " inside a block: the block before it lacks its \"end\" line; add "
                                           "one before this line");
            return;
        }
        add(script, "unknown keyword " + quoted(words[0]) + suggestion(words[0], known) +
                        ": the line is ignored; see docs/show-format.md for the keywords of this block");
        return;
    }
    if (words[0] == "begin") {
        if (lastUnknown_ && lastUnknown_->file == script.name() &&
            lastUnknown_->line == script.lineNumber() - 1)
            faults_.push_back({lastUnknown_->file, lastUnknown_->line,
                               "unknown keyword " + quoted(lastUnknown_->word) +
                                   suggestion(lastUnknown_->word, lastUnknown_->known) +
                                   ": the block after it is ignored"});
        lastUnknown_.reset();
        return;
    }
    lastUnknown_ = TopLevelLine{script.name(), script.lineNumber(), std::string(words[0]),
                                std::vector<std::string_view>(known.begin(), known.end())};
    const std::string_view nearest = nearestKeyword(words[0], known);
    const std::size_t distance = editDistance(words[0], nearest);
    if (words.size() <= 2 && words[0].size() >= 3 && distance > 0 && distance <= 2) {
        add(script, "unknown keyword " + quoted(words[0]) + " (did you mean " + quoted(nearest) +
                        "?): the line is ignored");
        lastUnknown_.reset();
    }
}

void ScriptFaults::keywordLine(const ScriptReader& script, const BlockKeyword& keyword) {
    if (keyword.pattern.empty())
        return;
    // A line is tested against every keyword it starts with: "colorfrom" is no "color" line.
    const std::vector<std::string_view> words = wordsOf(script.line());
    const std::vector<std::string_view> keywordWords = wordsOf(keyword.prefix);
    if (words.empty() || keywordWords.empty() || words[0] != keywordWords[0])
        return;
    std::vector<float> numbers;
    std::vector<std::string> names;
    const auto conversions = std::count(keyword.pattern.begin(), keyword.pattern.end(), '%');
    numbers.reserve(static_cast<std::size_t>(conversions));
    names.reserve(static_cast<std::size_t>(conversions));
    std::vector<ScanField> fields;
    for (std::size_t at = 0; at + 1 < keyword.pattern.size(); ++at) {
        if (keyword.pattern[at] != '%')
            continue;
        if (keyword.pattern[at + 1] == 'f')
            fields.emplace_back(&numbers.emplace_back(0.0f));
        else
            fields.emplace_back(ScanWord{names.emplace_back(), scriptLineCapacity});
    }
    const int read = scanLineFields(script.line(), keyword.pattern, fields);
    if (read < static_cast<int>(fields.size())) {
        add(script, quoted(keyword.prefix) + " is written " + quoted(readable(keyword.pattern)) +
                        ": the line does not read that way, so part of it is ignored");
        return;
    }
    for (const float value : numbers) {
        if (std::isfinite(value) && value >= keyword.range.low && value <= keyword.range.high)
            continue;
        const bool low = keyword.range.low > -std::numeric_limits<float>::max();
        const bool high = keyword.range.high < std::numeric_limits<float>::max();
        std::string allowed = !std::isfinite(value) ? "an ordinary number" : "a number";
        if (low && high)
            allowed += " from " + number(keyword.range.low) + " to " + number(keyword.range.high);
        else if (low)
            allowed += " of at least " + number(keyword.range.low);
        else if (high)
            allowed += " of at most " + number(keyword.range.high);
        add(script,
            "number " + number(value) + " out of range for " + quoted(keyword.prefix) + ": give " + allowed);
        return;
    }
}

void ScriptFaults::unfinishedBlock(const ScriptReader& script, int start) {
    faults_.push_back(
        {script.name(), start,
         "block not closed: the file ends before its \"end\" line, and the block is left out; add "
         "a line \"end\" after its last setting"});
}

void ScriptFaults::unresolvedName(const ScriptReader& script, std::string_view what, std::string_view name) {
    if (what == "texture") {
        add(script, "missing texture " + quoted(name) +
                        ": texture.txt lists no such picture; put the picture in textures\\ and its name in "
                        "texture.txt, and name it here as textures\\NAME");
    } else if (what == "parent") {
        add(script,
            "parent " + quoted(name) +
                " is no object before this one in its world: name an object that comes earlier (a "
                "parent must stand before its children, so two objects cannot be each other's parent)");
    } else if (what == "environment") {
        add(script, "environment " + quoted(name) +
                        " is not defined in env.txt: define it there or correct "
                        "the name");
    } else {
        missingFiles_.emplace(name);
        add(script, "missing script " + quoted(name) + ": add the file to the show or correct the name");
    }
}

void ScriptFaults::geometryLine(const ScriptReader& script, std::string_view meshName) {
    Show& show = script.show();
    ResourceFile file;
    if (!file.open(meshName, show.files)) {
        missingFiles_.emplace(meshName);
        add(script, "missing mesh " + quoted(meshName) + " (" + describe(file.openResult()) +
                        "): add the mesh file to the show or correct the name");
        return;
    }
    // The budget and the mesh's own faults, as a run meets them; only the compiling is left out.
    const std::string what = script.name() + " line " + std::to_string(script.lineNumber()) + ": geometry " +
                             std::string(meshName);
    if (!show.budget.take(BudgetNeed{}.add(BudgetItem::memberReads, 1), what))
        return;
    MeshData mesh;
    readMeshWithinBudget(show, meshName, 1, what, mesh);
}
