// Every name the show's scripts use resolves: a texture not in "texture.txt", a texture list entry not in the
// archive, a mesh file that is not there or a parent that names no object would all load without a word and
// leave an untextured planet, an empty ring or a moon at the Sun's centre. So the scripts of the built
// archive are read here and every reference is checked.
#include "data/archive_reader.h"
#include "data/archive_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Members = std::map<std::string, std::string>; // lower-case member name → its bytes

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Members readShow() {
    Members members;
    FileArchiveSource source(HELIOX_SHOW_ARCHIVE);
    extractAll(source,
               [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
                   if (result == ExtractResult::ok)
                       members[lowerCase(header.name)] = std::string(bytes.begin(), bytes.end());
               });
    return members;
}

// The lines of a script as words: the first word is the keyword, as the readers see it.
std::vector<std::vector<std::string>> wordsOfLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> list;
        for (std::string word; words >> word;)
            list.push_back(word);
        if (!list.empty())
            lines.push_back(std::move(list));
    }
    return lines;
}

std::vector<std::string> textureList(const Members& members) {
    std::vector<std::string> names;
    for (const auto& words : wordsOfLines(members.at("texture.txt"))) {
        if (words[0] == "END_TEXT")
            break;
        names.push_back(words[0]);
    }
    return names;
}

// The object scripts the world and environment lists name, in the order they are read.
std::vector<std::string> objectScripts(const Members& members) {
    std::vector<std::string> scripts;
    for (const auto& words : wordsOfLines(members.at("worlds.txt")))
        if (words[0] == "objects" && words.size() > 1)
            scripts.push_back(words[1]);
    for (const auto& words : wordsOfLines(members.at("env.txt")))
        if ((words[0] == "firstpass" || words[0] == "postpass") && words.size() > 1)
            scripts.push_back(words[1]);
    return scripts;
}

// What one object script gets wrong, one line each.
std::vector<std::string> unresolvedNames(const std::string& script, const std::string& text,
                                         const std::set<std::string>& textures, const Members& members) {
    std::vector<std::string> misses;
    std::set<std::string> objectsSoFar;
    const std::string texturePrefix = "textures\\";
    for (const auto& words : wordsOfLines(text)) {
        const std::string& keyword = words[0];
        if (words.size() < 2)
            continue;
        const std::string& name = words[1];
        if (keyword == "texture" || keyword == "map1" || keyword == "map2") {
            if (!name.starts_with(texturePrefix) || !textures.contains(name.substr(texturePrefix.size())))
                misses.push_back(script + ": texture not in texture.txt: " + name);
        } else if (keyword == "geometry") {
            if (!members.contains(lowerCase(name)))
                misses.push_back(script + ": mesh file not in the archive: " + name);
        } else if (keyword == "begin") {
            objectsSoFar.insert(name);
        } else if (keyword == "parent") {
            // A parent is found among the objects read before it.
            if (!objectsSoFar.contains(name))
                misses.push_back(script + ": parent names no earlier object: " + name);
        }
    }
    return misses;
}

TEST(ShowReferences, EveryTextureMeshParentAndScriptResolves) {
    const Members members = readShow();
    ASSERT_TRUE(members.contains("texture.txt"));
    ASSERT_TRUE(members.contains("worlds.txt"));
    ASSERT_TRUE(members.contains("env.txt"));

    const std::vector<std::string> listed = textureList(members);
    EXPECT_GT(listed.size(), 20u);
    for (const std::string& name : listed)
        EXPECT_TRUE(members.contains(lowerCase("textures\\" + name)))
            << "texture.txt names a missing " << name;
    const std::set<std::string> textures(listed.begin(), listed.end());
    EXPECT_EQ(textures.size(), listed.size()) << "texture.txt lists a texture twice";

    const std::vector<std::string> scripts = objectScripts(members);
    EXPECT_GE(scripts.size(), 3u);
    int references = 0;
    for (const std::string& script : scripts) {
        const auto found = members.find(lowerCase(script));
        ASSERT_NE(found, members.end()) << "a list names a missing script: " << script;
        for (const std::string& miss : unresolvedNames(script, found->second, textures, members))
            ADD_FAILURE() << miss;
        references += static_cast<int>(wordsOfLines(found->second).size());
    }
    EXPECT_GT(references, 100);
}

// The checker itself: each kind of miss is caught, so a green run above means something.
TEST(ShowReferences, TheCheckerCatchesEachKindOfMiss) {
    const Members members = {{"meshes\\ring.dat", ""}};
    const std::set<std::string> textures = {"sun.jpg"};
    const std::string script = "sphere\nbegin Sun\ntexture textures\\sun.jpg\nend\n"
                               "sphere\nbegin Moon\nparent Earth\ntexture textures\\moon.jpg\n"
                               "geometry meshes\\ring.dat\ngeometry meshes\\rings.dat\n"
                               "material\n\tmap1 moon.jpg\nend\n"
                               "sphere\nbegin Io\nparent Sun\nend\n";
    const std::vector<std::string> misses = unresolvedNames("test.txt", script, textures, members);
    ASSERT_EQ(misses.size(), 4u);
    EXPECT_NE(misses[0].find("parent names no earlier object: Earth"), std::string::npos);
    EXPECT_NE(misses[1].find("texture not in texture.txt: textures\\moon.jpg"), std::string::npos);
    EXPECT_NE(misses[2].find("mesh file not in the archive: meshes\\rings.dat"), std::string::npos);
    EXPECT_NE(misses[3].find("texture not in texture.txt: moon.jpg"), std::string::npos);
}

} // namespace
