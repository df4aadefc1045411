#include "objects/object_kinds.h"

#include "objects/billboard.h"
#include "objects/flame.h"
#include "objects/flare.h"
#include "objects/mesh.h"
#include "objects/particle_system.h"
#include "objects/sphere.h"

#include <algorithm>
#include <array>

namespace {

// Each kind reads its own block, so a setting line inside a block is never mistaken for an object line.
constexpr std::array registeredKinds{
    ObjectKind{"sphere", parseSphere, sphereBlockKeywords},
    ObjectKind{"billboard", parseBillboard, billboardBlockKeywords},
    ObjectKind{"flare", parseFlare, flareBlockKeywords},
    ObjectKind{"mesh", parseMesh, meshBlockKeywords},
    ObjectKind{"flame", parseFlame, flameBlockKeywords},
    ObjectKind{"ps", parseParticleSystem, particleSystemBlockKeywords},
};

} // namespace

std::span<const ObjectKind> objectKinds() {
    return registeredKinds;
}

const ObjectKind* objectKindOf(std::string_view line, std::span<const ObjectKind> kinds) {
    const auto found = std::find_if(kinds.begin(), kinds.end(), [line](const ObjectKind& kind) {
        return line.starts_with(kind.keyword);
    });
    return found == kinds.end() ? nullptr : &*found;
}
