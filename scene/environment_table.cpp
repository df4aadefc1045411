#include "scene/environment_table.h"

#include "objects/object_script_reader.h"
#include "objects/script_reader.h"
#include "objects/script_scan.h"

#include <algorithm>

namespace {

// A pass line: the object script it names is read into `list`.
BlockKeyword passKeyword(std::string_view prefix, ObjectList& list, const std::function<void()>& progress) {
    return {prefix, [pattern = std::string(prefix) + " %s", &list, &progress](ScriptReader& script) {
                std::string scriptName;
                if (scanLine(script.line(), pattern, ScanWord{scriptName, scriptLineCapacity}) == 1 &&
                    !readObjectScript(script.show(), list, scriptName, progress) && script.observer())
                    script.observer()->unresolvedName(script, "script", scriptName);
            }};
}

std::vector<BlockKeyword> environmentKeywords(Environment& environment,
                                              const std::function<void()>& progress) {
    return {
        passKeyword("firstpass", environment.firstPass, progress),
        passKeyword("postpass", environment.postPass, progress),
    };
}

const std::vector<std::string_view> environmentFileKeywords{"env", "ENV_END"};

} // namespace

std::vector<std::string_view> environmentBlockKeywords() {
    Environment environment;
    return keywordPrefixes(environmentKeywords(environment, {}));
}

bool loadEnvironments(Show& show, EnvironmentTable& table, std::string_view fileName,
                      const std::function<void()>& progress) {
    ScriptReader script(show);
    if (!script.open(fileName))
        return false;
    while (script.nextLine() && !script.lineStartsWith("ENV_END")) {
        if (!script.lineStartsWith("env")) {
            if (script.observer())
                script.observer()->unknownLine(script, environmentFileKeywords);
            continue;
        }
        auto environment = std::make_unique<Environment>();
        scanLine(script.line(), "env %s", ScanWord{environment->name, Environment::maxNameLength});
        if (readBlockBody(script, environmentKeywords(*environment, progress)))
            table.push_back(std::move(environment));
    }
    return true;
}

Environment* findEnvironment(const EnvironmentTable& table, std::string_view name) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [name](const auto& environment) { return environment->name == name; });
    return found == table.end() ? nullptr : found->get();
}
