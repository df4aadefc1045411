#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <memory>
#include <span>
#include <string_view>
#include <vector>

// Reads one object's block from the script, right after its keyword line: the lines up to "begin", then the
// settings up to "end". `list` is the list being filled, for "parent" lookups; the reader appends the object.
// Returns null when the block is unfinished because the data ended, so no half-read object is shown.
using KindParser = std::unique_ptr<SceneObject> (*)(ScriptReader& script, const ObjectList& list);

// The keywords a kind's block takes, from the same table its parser reads with: what a check of a show and
// the authors' reference are held against.
using KindKeywords = std::vector<std::string_view> (*)();

// A kind of object an object script can describe.
struct ObjectKind {
    // Starts the kind's lines, as a case-sensitive prefix: "spheres" is a sphere, "psystem" a particle
    // system.
    std::string_view keyword;
    KindParser parse;
    KindKeywords blockKeywords;
};

// Every kind of object, in the order the authors' reference and a check list them. No keyword starts with
// another, so a line is one kind's or none's whatever the order. A new kind is its own files and one line in
// this table.
std::span<const ObjectKind> objectKinds();

// The kind of `kinds` whose keyword starts `line`; null when there is none.
const ObjectKind* objectKindOf(std::string_view line, std::span<const ObjectKind> kinds = objectKinds());
