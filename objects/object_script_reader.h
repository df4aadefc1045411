#pragma once

#include "objects/object_kinds.h"
#include "objects/object_list.h"

#include <functional>
#include <span>
#include <string_view>
#include <vector>

class Show;

// Reads the object script `scriptName` from the show's files and appends every object it describes to `list`,
// which it never clears; the show keeps the objects. The show's parse state starts afresh. A line starting a
// kind's keyword hands its block to the kind's parser (`kinds`); a "geometry NAME" line makes the mesh file
// NAME the show's geometry display list; "ENDWORLD" or the end of the data ends the script; every other line
// is ignored. An object or geometry the show's budget has no room for is left out. `progress`, when set, is
// called after each object line (kept or not) and each geometry line, so the loading screen moves on. False
// when the script cannot be read.
bool readObjectScript(Show& show, ObjectList& list, std::string_view scriptName,
                      const std::function<void()>& progress = {},
                      std::span<const ObjectKind> kinds = objectKinds());

// The keywords that start a line outside any block: every kind's, then the reader's own ("ENDWORLD",
// "geometry", "dir").
std::vector<std::string_view> objectLineKeywords(std::span<const ObjectKind> kinds = objectKinds());
