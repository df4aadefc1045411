#include "objects/object_script_reader.h"

#include "data/show_budget.h"
#include "data/texture_registry.h"
#include "objects/mesh_file.h"
#include "objects/script_scan.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// "solar.txt line 12: ", where a message about the script's current line starts.
std::string scriptLine(std::string_view scriptName, int line) {
    return std::string(scriptName) + " line " + std::to_string(line) + ": ";
}

// Keeps the object in the show when its budget has room for it; otherwise it is left out (and freed), and
// the budget remembers the script line of its keyword for the message.
void keepObject(Show& show, ObjectList& list, std::unique_ptr<SceneObject> object, ObjectKind kind,
                std::string_view scriptName, int keywordLine) {
    if (!object)
        return;
    object->kind = kind;
    object->script = scriptName;
    std::string what = scriptLine(scriptName, keywordLine) + std::string(keywordOf(kind));
    if (!object->name.empty())
        what += " \"" + object->name + "\"";
    if (!show.budget.take(object->budgetNeed(show), what))
        return;
    list.push_back(object.get());
    show.objects.push_back(std::move(object));
}

KindParser parserOf(std::span<const KindParserEntry> parsers, ObjectKind kind) {
    const auto found = std::find_if(parsers.begin(), parsers.end(),
                                    [kind](const KindParserEntry& entry) { return entry.kind == kind; });
    return found == parsers.end() ? nullptr : found->parse;
}

void loadGeometryLine(std::string_view scriptName, const ScriptReader& script) {
    Show& show = script.show();
    std::string meshName;
    if (scanLine(script.line(), "geometry %s", ScanWord{meshName, scriptLineCapacity}) != 1)
        return;
    if (script.observer()) {
        script.observer()->geometryLine(script, meshName);
        return;
    }
    // Each line reads its file again (a script may mean a fresh list each time), so the lines that may read
    // are counted: a script naming one file a hundred thousand times would otherwise take minutes.
    const std::string what = scriptLine(scriptName, script.lineNumber()) + "geometry " + meshName;
    if (show.budget.take(BudgetNeed{}.add(BudgetItem::memberReads, 1), what))
        loadMeshFile(show, show.meshes.geometry, meshName, false, what);
    else
        show.meshes.geometry = 0; // as for a mesh the budget has no triangles for
}

// The object a "parent NAME" line names; a check is told of a name that names none.
SceneObject* findParent(const ScriptReader& script, const ObjectList& list, std::string_view name) {
    SceneObject* parent = findObjectByName(list, name);
    if (!parent && script.observer())
        script.observer()->unresolvedName(script, "parent", name);
    return parent;
}

} // namespace

bool readObjectScript(Show& show, ObjectList& list, std::string_view scriptName,
                      const std::function<void()>& progress, std::span<const KindParserEntry> parsers) {
    show.parseState = {};
    ScriptReader script(show);
    if (!script.open(scriptName))
        return false;
    while (script.nextLine()) {
        const ObjectKind kind = objectKindOf(script.line());
        if (kind == ObjectKind::endOfScript)
            break;
        const int keywordLine = script.lineNumber();
        if (kind == ObjectKind::geometry)
            loadGeometryLine(scriptName, script);
        else if (const KindParser parse = parserOf(parsers, kind))
            keepObject(show, list, parse(script, list), kind, scriptName, keywordLine);
        else {
            if (kind == ObjectKind::none && script.observer())
                script.observer()->unknownLine(script, objectLineKeywords());
            continue; // lines that start nothing do not move the loading screen on
        }
        if (progress)
            progress();
    }
    return true;
}

SceneObject* findObjectByName(const ObjectList& list, std::string_view name) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [name](const SceneObject* object) { return object->name == name; });
    return found == list.end() ? nullptr : *found;
}

void resolveTexture(const Show& show, SceneObject& object, std::string_view textureName) {
    object.tga = textureName.ends_with("tga");
    if (const TextureEntry* entry = findTexture(show.textures, textureName))
        object.textureId = entry->texture;
}

void remarkUnknownTexture(const ScriptReader& script, std::string_view textureName) {
    if (script.observer() && !findTexture(script.show().textures, textureName))
        script.observer()->unresolvedName(script, "texture", textureName);
}

BlockKeyword textureKeyword(SceneObject& object) {
    return {"texture", [&object](ScriptReader& script) {
                std::string textureName;
                if (scanLine(script.line(), "texture %s", ScanWord{textureName, scriptLineCapacity}) != 1)
                    return;
                resolveTexture(script.show(), object, textureName);
                object.textured = true;
                remarkUnknownTexture(script, textureName);
            }};
}

BlockKeyword parentKeyword(SceneObject& object, const ObjectList& list) {
    return {
        "parent", [&object, &list](ScriptReader& script) {
            std::string parentName;
            if (scanLine(script.line(), "parent %s", ScanWord{parentName, SceneObject::maxNameLength}) == 1)
                object.parent = findParent(script, list, parentName);
        }};
}

BlockKeyword parentKeyword(SceneObject& object, Vec3& offset, const ObjectList& list) {
    return {"parent", [&object, &offset, &list](ScriptReader& script) {
                std::string parentName;
                if (scanLine(script.line(), "parent %s V(%f %f %f)",
                             ScanWord{parentName, SceneObject::maxNameLength}, offset.x, offset.y,
                             offset.z) >= 1)
                    object.parent = findParent(script, list, parentName);
            }};
}
