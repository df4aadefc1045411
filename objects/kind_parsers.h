#pragma once

#include "objects/object_kind.h"
#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <array>
#include <memory>
#include <string_view>
#include <vector>

// Reads one object's block from the script, right after its keyword line: the lines up to "begin", then the
// settings up to "end". `list` is the list being filled, for "parent" lookups; the reader appends the object.
// Returns null when the block is unfinished because the data ended, so no half-read object is shown.
using KindParser = std::unique_ptr<SceneObject> (*)(ScriptReader& script, const ObjectList& list);

// The keywords a kind's block takes, from the same table its parser reads with: what a check of a show and
// the authors' reference are held against.
using KindKeywords = std::vector<std::string_view> (*)();

struct KindParserEntry {
    ObjectKind kind;
    KindParser parse;
    KindKeywords keywords = nullptr;
};

// The parser of every object kind, the one place that says which kind is read by which function.
extern const std::array<KindParserEntry, 6> objectKindParsers;
