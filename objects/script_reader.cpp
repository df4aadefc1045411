#include "objects/script_reader.h"

#include "objects/script_scan.h"

#include "base/load_stop.h"
#include "data/show_budget.h"
#include "objects/show.h"

bool ScriptReader::open(std::string_view memberName) {
    const bool opened = file_.open(memberName, show_.files);
    if (!opened)
        show_.budget.leaveOut(memberName, describe(file_.openResult()));
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

BlockKeyword floatKeyword(std::string_view prefix, float& value, NumberRange range) {
    std::string pattern = std::string(prefix) + " %f";
    return {prefix, [pattern, &value](ScriptReader& script) { scanLine(script.line(), pattern, value); },
            pattern, range};
}

BlockKeyword vectorKeyword(std::string_view prefix, Vec3& value, NumberRange range) {
    std::string pattern = std::string(prefix) + " V(%f %f %f)";
    return {prefix,
            [pattern, &value](ScriptReader& script) {
                scanLine(script.line(), pattern, value.x, value.y, value.z);
            },
            pattern, range};
}

std::vector<std::string_view> keywordPrefixes(std::span<const BlockKeyword> keywords) {
    std::vector<std::string_view> prefixes;
    for (const BlockKeyword& keyword : keywords)
        prefixes.push_back(keyword.prefix);
    return prefixes;
}

ScriptObserver* ScriptReader::observer() const {
    return show_.observer;
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
    const int start = script.lineNumber();
    while (script.nextLine()) {
        bool known = script.lineStartsWith("end");
        for (const BlockKeyword& keyword : keywords) {
            if (!script.lineStartsWith(keyword.prefix))
                continue;
            known = true;
            if (script.observer())
                script.observer()->keywordLine(script, keyword);
            keyword.apply(script);
        }
        if (!known && script.observer()) {
            std::vector<std::string_view> prefixes = keywordPrefixes(keywords);
            prefixes.push_back("end");
            script.observer()->unknownLine(script, prefixes);
        }
        if (script.lineStartsWith("end"))
            return true;
    }
    if (script.observer())
        script.observer()->unfinishedBlock(script, start);
    return false;
}
