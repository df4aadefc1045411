#include "objects/script_reader.h"

#include "objects/script_scan.h"

#include "base/load_stop.h"
#include "data/show_budget.h"

bool ScriptReader::open(std::string_view memberName) {
    const bool opened = file_.open(memberName);
    if (!opened)
        showBudget.leaveOut(memberName, describe(file_.openResult()));
    dataEnded_ = !opened;
    lineNumber_ = 0;
    return opened;
}

bool ScriptReader::nextLine() {
    if (dataEnded_ || loadStopRequested()) {
        line_[0] = '\0';
        return false;
    }
    dataEnded_ = !file_.readLine(line_.data(), line_.size());
    ++lineNumber_;
    return true;
}

BlockKeyword flagKeyword(std::string_view prefix, bool& flag) {
    return {prefix, [&flag](ScriptReader&) { flag = true; }};
}

BlockKeyword floatKeyword(std::string_view prefix, float& value) {
    return {prefix, [pattern = std::string(prefix) + " %f", &value](ScriptReader& script) {
                scanLine(script.line(), pattern, value);
            }};
}

BlockKeyword vectorKeyword(std::string_view prefix, Vec3& value) {
    return {prefix, [pattern = std::string(prefix) + " V(%f %f %f)", &value](ScriptReader& script) {
                scanLine(script.line(), pattern, value.x, value.y, value.z);
            }};
}

bool readBlockBegin(ScriptReader& script) {
    while (script.nextLine()) {
        if (script.lineStartsWith("begin"))
            return true;
    }
    return false;
}

bool readBlockBegin(ScriptReader& script, std::string& name, std::size_t maxLength) {
    if (!readBlockBegin(script))
        return false;
    scanLine(script.line(), "begin %s", ScanWord{name, maxLength});
    return true;
}

bool readBlockBody(ScriptReader& script, std::span<const BlockKeyword> keywords) {
    while (script.nextLine()) {
        for (const BlockKeyword& keyword : keywords) {
            if (script.lineStartsWith(keyword.prefix))
                keyword.apply(script);
        }
        if (script.lineStartsWith("end"))
            return true;
    }
    return false;
}
