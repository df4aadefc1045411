#pragma once

#include "objects/object_kind.h"
#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <array>
#include <memory>

// Reads one object's block from the script, right after its keyword line: the lines up to "begin", then the
// settings up to "end". `list` is the list being filled, for "parent" lookups; the reader appends the object.
// Returns null when the block is unfinished because the data ended, so no half-read object is shown.
using KindParser = std::unique_ptr<SceneObject> (*)(ScriptReader& script, const ObjectList& list);

struct KindParserEntry {
    ObjectKind kind;
    KindParser parse;
};

// The parser of every object kind, the one place that says which kind is read by which function.
extern const std::array<KindParserEntry, 6> objectKindParsers;
