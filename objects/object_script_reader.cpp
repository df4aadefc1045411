#include "objects/object_script_reader.h"

#include "data/show_budget.h"
#include "objects/mesh_file.h"
#include "objects/script_parse_state.h"
#include "objects/script_scan.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The lines the reader takes itself, outside any block. Like the kinds' keywords they are prefixes, and none
// starts with another keyword or a kind's.
constexpr std::string_view endOfScript = "ENDWORLD";
constexpr std::string_view geometryLine = "geometry";
constexpr std::string_view folderLine = "dir"; // known, and ignored

// "solar.txt line 12: ", where a message about the script's current line starts.
std::string scriptLine(std::string_view scriptName, int line) {
    return std::string(scriptName) + " line " + std::to_string(line) + ": ";
}

// Keeps the object in the show when its budget has room for it; otherwise it is left out (and freed), and
// the budget remembers the script line of its keyword for the message.
void keepObject(Show& show, ObjectList& list, std::unique_ptr<SceneObject> object, const ObjectKind& kind,
                std::string_view scriptName, int keywordLine) {
    if (!object)
        return;
    object->kind = kind.keyword;
    object->script = scriptName;
    std::string what = scriptLine(scriptName, keywordLine) + std::string(kind.keyword);
    if (!object->name.empty())
        what += " \"" + object->name + "\"";
    if (!show.budget.take(object->budgetNeed(show), what))
        return;
    list.push_back(object.get());
    show.objects.push_back(std::move(object));
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

} // namespace

bool readObjectScript(Show& show, ObjectList& list, std::string_view scriptName,
                      const std::function<void()>& progress, std::span<const ObjectKind> kinds) {
    show.parseState = {};
    ScriptReader script(show);
    if (!script.open(scriptName))
        return false;
    while (script.nextLine()) {
        if (script.lineStartsWith(endOfScript))
            break;
        const int keywordLine = script.lineNumber();
        if (script.lineStartsWith(geometryLine))
            loadGeometryLine(scriptName, script);
        else if (const ObjectKind* kind = objectKindOf(script.line(), kinds))
            keepObject(show, list, kind->parse(script, list), *kind, scriptName, keywordLine);
        else {
            if (!script.lineStartsWith(folderLine) && script.observer())
                script.observer()->unknownLine(script, objectLineKeywords(kinds));
            continue; // lines that start nothing do not move the loading screen on
        }
        if (progress)
            progress();
    }
    return true;
}

std::vector<std::string_view> objectLineKeywords(std::span<const ObjectKind> kinds) {
    std::vector<std::string_view> keywords;
    for (const ObjectKind& kind : kinds)
        keywords.push_back(kind.keyword);
    keywords.insert(keywords.end(), {endOfScript, geometryLine, folderLine});
    return keywords;
}
