#include "objects/kind_parsers.h"

#include "objects/billboard.h"
#include "objects/flame.h"
#include "objects/flare.h"
#include "objects/mesh.h"
#include "objects/particle_system.h"
#include "objects/sphere.h"

// Each kind reads its own block, so a setting line inside a block is never mistaken for an object line.
const std::array<KindParserEntry, 6> objectKindParsers{{
    {ObjectKind::sphere, parseSphere},
    {ObjectKind::billboard, parseBillboard},
    {ObjectKind::flare, parseFlare},
    {ObjectKind::mesh, parseMesh},
    {ObjectKind::flame, parseFlame},
    {ObjectKind::particleSystem, parseParticleSystem},
}};
