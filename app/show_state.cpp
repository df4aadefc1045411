#include "app/show_state.h"

#include "data/show_budget.h"
#include "data/texture_registry.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "objects/script_parse_state.h"
#include "objects/shared_meshes.h"
#include "objects/wire_sphere.h"
#include "objects/world_time.h"
#include "overlay/glyphs.h"

void forgetShowState() {
    textureRegistry.clear();
    showBudget = {};
    camera = {};
    worldTime = 0;
    releaseAllObjects();
    scriptParseState = {};
    wireSphereData = {};
    envMesh = sphereMesh = noisedSphereMesh = atmosphereList = geometryMesh = 0;
    glyphLists = 0;
}
