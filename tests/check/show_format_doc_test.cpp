#include "objects/object_script_reader.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

using KeywordSet = std::set<std::string, std::less<>>;

KeywordSet toSet(const std::vector<std::string_view>& keywords) {
    return {keywords.begin(), keywords.end()};
}

// The keyword tables of docs/show-format.md: under each heading "### Keywords of a `NAME` block" (or "...
// outside blocks of an object script"), the first cell of every table row, written `keyword`.
std::map<std::string, KeywordSet> documentedKeywords() {
    std::ifstream file(std::string(HELIOX_SOURCE_DIR) + "/docs/show-format.md");
    EXPECT_TRUE(file) << "docs/show-format.md cannot be read";
    std::map<std::string, KeywordSet> tables;
    KeywordSet* table = nullptr;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("#")) {
            table = nullptr;
            if (!line.starts_with("### Keywords "))
                continue;
            const std::size_t open = line.find('`');
            const std::size_t close = line.find('`', open + 1);
            const std::string name =
                open == std::string::npos ? "object script" : line.substr(open + 1, close - open - 1);
            table = &tables[name];
        } else if (table && line.starts_with("| `")) {
            table->insert(line.substr(3, line.find('`', 3) - 3));
        }
    }
    return tables;
}

// Every keyword a reader takes is in the reference, under its block, and every keyword the reference gives
// is one the reader takes: the tables are read from the readers themselves, so a keyword added to a reader
// without a word in the reference fails here.
TEST(ShowFormatDocument, ListsExactlyTheKeywordsEachReaderTakes) {
    std::map<std::string, KeywordSet> fromReaders{
        {"world", toSet(worldBlockKeywords())},
        {"env", toSet(environmentBlockKeywords())},
        {"object script", toSet(objectLineKeywords())},
    };
    for (const ObjectKind& kind : objectKinds()) {
        ASSERT_NE(kind.blockKeywords, nullptr) << kind.keyword;
        fromReaders[std::string(kind.keyword)] = toSet(kind.blockKeywords());
    }
    const std::map<std::string, KeywordSet> documented = documentedKeywords();
    for (const auto& [block, keywords] : fromReaders) {
        const auto found = documented.find(block);
        ASSERT_NE(found, documented.end()) << "no table \"### Keywords of a `" << block << "` block\"";
        for (const std::string& keyword : keywords)
            EXPECT_TRUE(found->second.contains(keyword))
                << "`" << keyword << "` of " << block << " is not documented";
        for (const std::string& keyword : found->second)
            EXPECT_TRUE(keywords.contains(keyword)) << "`" << keyword << "` of " << block << " is no keyword";
    }
    EXPECT_EQ(documented.size(), fromReaders.size()) << "a keyword table names no block the readers have";
}

} // namespace
