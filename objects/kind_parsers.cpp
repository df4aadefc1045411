#include "objects/kind_parsers.h"

// The kinds arrive with their own files (objects/sphere.cpp and the like); until a kind's parser is written
// here, its blocks are read past and dropped, so their setting lines are never mistaken for object lines.
const std::array<KindParserEntry, 6> objectKindParsers{{
    {ObjectKind::sphere, skipObjectBlock},
    {ObjectKind::billboard, skipObjectBlock},
    {ObjectKind::flare, skipObjectBlock},
    {ObjectKind::mesh, skipObjectBlock},
    {ObjectKind::flame, skipObjectBlock},
    {ObjectKind::particleSystem, skipObjectBlock},
}};

std::unique_ptr<SceneObject> skipObjectBlock(ScriptReader& script, const ObjectList&) {
    if (readBlockBegin(script))
        readBlockBody(script, {});
    return nullptr;
}
