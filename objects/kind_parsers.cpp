#include "objects/kind_parsers.h"

#include "objects/billboard.h"
#include "objects/flame.h"
#include "objects/flare.h"
#include "objects/mesh.h"
#include "objects/particle_system.h"
#include "objects/sphere.h"

// Each kind reads its own block, so a setting line inside a block is never mistaken for an object line.
const std::array<KindParserEntry, 6> objectKindParsers{{
    {ObjectKind::sphere, parseSphere, sphereBlockKeywords},
    {ObjectKind::billboard, parseBillboard, billboardBlockKeywords},
    {ObjectKind::flare, parseFlare, flareBlockKeywords},
    {ObjectKind::mesh, parseMesh, meshBlockKeywords},
    {ObjectKind::flame, parseFlame, flameBlockKeywords},
    {ObjectKind::particleSystem, parseParticleSystem, particleSystemBlockKeywords},
}};
