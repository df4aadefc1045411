#pragma once

#include "data/resource_file.h"
#include "math/vec3.h"

#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ScriptObserver;
class Show;

// Script lines are read into buffers of this size: a line holds at most 127 characters, longer ones are cut.
inline constexpr std::size_t scriptLineCapacity = 128;

// A text script of the data archive read line by line, as every script loader of the show reads one: leading
// spaces (not tabs) skipped, carriage returns dropped, long lines cut. Keywords are matched as case-sensitive
// prefixes of the line, so "spheres" starts with "sphere".
class ScriptReader {
public:
    // A reader of the show's scripts; the parsers reach the show being loaded through it.
    explicit ScriptReader(Show& show) : show_(show) {}

    // Extracts the member from the show's files. False, and no lines to read, when it cannot be read; the
    // show's budget then names it among the members left out, with the reason.
    bool open(std::string_view memberName);

    // Reads the next line into line(). False when there is none because the data has ended, or because the
    // load should stop (base/load_stop.h); the last line is still read when the file does not end with a line
    // feed. Every loop over a script ends this way, so a script missing its end keyword cannot hang the
    // loading, and no script keeps a run from ending.
    bool nextLine();

    std::string_view line() const { return line_.data(); }
    bool lineStartsWith(std::string_view keyword) const { return line().starts_with(keyword); }
    // The number of the line in line(), counting from 1, for messages that point into the script.
    int lineNumber() const { return lineNumber_; }
    // The member's name as the script was opened by.
    const std::string& name() const { return file_.name(); }

    Show& show() const { return show_; }
    // The observer of the show being checked; null while a show runs.
    ScriptObserver* observer() const;

private:
    Show& show_;
    ResourceFile file_;
    std::array<char, scriptLineCapacity> line_{};
    bool dataEnded_ = true;
    int lineNumber_ = 0;
};

// The numbers a setting makes sense with, both ends included. Numbers outside are still taken as they have
// always been; a check of the show names them.
struct NumberRange {
    float low = -std::numeric_limits<float>::max();
    float high = std::numeric_limits<float>::max();
};

// One setting of an object block: `apply` is called on every block line that starts with `prefix`. It reads
// the line from the script, and may read further lines (a mesh's material lines); the keywords after it in
// the table then test the line it read last. `pattern`, when given, is the whole line as scanLine reads it
// ("radius %f"), and `range` the numbers it should hold: a check of the show compares the line with them.
struct BlockKeyword {
    std::string_view prefix;
    std::function<void(ScriptReader& script)> apply;
    std::string pattern = {};
    NumberRange range = {};
};

// The three common settings: "PREFIX" alone sets a flag, "PREFIX %f" reads a number and
// "PREFIX V(%f %f %f)" a vector. The referenced values must outlive the table.
BlockKeyword flagKeyword(std::string_view prefix, bool& flag);
BlockKeyword floatKeyword(std::string_view prefix, float& value, NumberRange range = {});
BlockKeyword vectorKeyword(std::string_view prefix, Vec3& value, NumberRange range = {});

// The prefixes of a table, in its order: the keywords a block accepts.
std::vector<std::string_view> keywordPrefixes(std::span<const BlockKeyword> keywords);

// Told what the readers make of a show's lines while the show is checked instead of shown. None is set while
// a show runs; the readers then behave exactly as without it.
class ScriptObserver {
public:
    virtual ~ScriptObserver() = default;
    // A line the reader passes over because it starts none of the keywords `known` it takes there.
    virtual void unknownLine(const ScriptReader& script, std::span<const std::string_view> known) = 0;
    // A line about to be applied by `keyword`.
    virtual void keywordLine(const ScriptReader& script, const BlockKeyword& keyword) = 0;
    // The data ended inside the block that line `start` began.
    virtual void unfinishedBlock(const ScriptReader& script, int start) = 0;
    // The line names something the show lacks: `what` is "texture", "parent", "environment" or "script".
    virtual void unresolvedName(const ScriptReader& script, std::string_view what, std::string_view name) = 0;
    // A "geometry NAME" line, which the observer reads in place of the reader: a check compiles no mesh.
    virtual void geometryLine(const ScriptReader& script, std::string_view meshName) = 0;
};

// Skips lines up to the one starting with "begin". False when the data ended first.
bool readBlockBegin(ScriptReader& script);

// The same for the kinds that take a name: "begin NAME" sets `name`, cut to `maxLength` characters; a bare
// "begin" leaves it as it is.
bool readBlockBegin(ScriptReader& script, std::string& name, std::size_t maxLength);

// Reads a block's setting lines up to and including the one starting with "end", testing every line against
// every keyword in table order and applying each one that matches; lines matching none are ignored. False
// when the data ended before "end": the block is unfinished.
bool readBlockBody(ScriptReader& script, std::span<const BlockKeyword> keywords);
