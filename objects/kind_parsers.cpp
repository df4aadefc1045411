#include "objects/kind_parsers.h"

#include "objects/billboard.h"
#include "objects/flame.h"
#include "objects/flare.h"
#include "objects/mesh.h"
#include "objects/particle_system.h"
#include "objects/sphere.h"

// The kinds arrive with their own files (objects/sphere.cpp and the like); until a kind's parser is written
// here, its blocks are read past and dropped, so their setting lines are never mistaken for object lines.
const std::array<KindParserEntry, 6> objectKindParsers{{
    {ObjectKind::sphere, parseSphere},
    {ObjectKind::billboard, parseBillboard},
    {ObjectKind::flare, parseFlare},
    {ObjectKind::mesh, parseMesh},
    {ObjectKind::flame, parseFlame},
    {ObjectKind::particleSystem, parseParticleSystem},
}};

std::unique_ptr<SceneObject> skipObjectBlock(ScriptReader& script, const ObjectList&) {
    if (readBlockBegin(script))
        readBlockBody(script, {});
    return nullptr;
}
