#include "objects/object_script_reader.h"
#include "objects/particle_system.h"
#include "objects/show.h"
#include "objects/sphere.h"

#include "data/texture_registry.h"
#include "objects/common_keywords.h"
#include "objects/script_parse_state.h"
#include "objects/script_scan.h"
#include "objects/shared_meshes.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/objects/test_meshes.h"
#include "tools/meshgen/mesh_file_writer.h"

#include <gtest/gtest.h>

namespace {

// What a recording parser saw when it read its block.
struct RecordedObject : SceneObject {
    void draw(const Show&) override {}
    void update(const Show&, double) override {}

    GLuint geometry = 0;
    ScriptParseState stateBefore;
};

// Reads a block as the real kinds will: the name, "parent" and "texture" lines, and the parse state,
// which it advances as a sphere with "moon", "flash" and a TGA texture would.
std::unique_ptr<SceneObject> parseRecorded(ScriptReader& script, const ObjectList& list) {
    Show& show = script.show();
    auto object = std::make_unique<RecordedObject>();
    object->geometry = show.meshes.geometry;
    object->stateBefore = show.parseState;
    show.parseState.flashPhase += 0.25f;
    show.parseState.moonSpeedFactor *= 0.75f;
    show.parseState.lastTextureWasTga = true;
    if (!readBlockBegin(script, object->name, SceneObject::maxNameLength))
        return nullptr;
    const BlockKeyword keywords[] = {parentKeyword(*object, list), textureKeyword(*object)};
    if (!readBlockBody(script, keywords))
        return nullptr;
    return object;
}

// Every kind of the show, each read by the recording parser; the reader marks each object with its kind.
std::vector<ObjectKind> recordingKinds() {
    std::vector<ObjectKind> kinds(objectKinds().begin(), objectKinds().end());
    for (ObjectKind& kind : kinds)
        kind.parse = parseRecorded;
    return kinds;
}

const RecordedObject& recorded(const SceneObject* object) {
    return *static_cast<const RecordedObject*>(object);
}

} // namespace

class ObjectScriptReaderTest : public ::testing::Test {
protected:
    Show show;
    // Reads `name` from the archive with the recording parsers, counting progress calls.
    bool read(std::string_view name) {
        return readObjectScript(
            show, list, name, [this] { ++progressCalls; }, recordingKinds());
    }

    ObjectList list;
    int progressCalls = 0;
};

TEST(ObjectKindOf, MatchesKeywordsAsCaseSensitivePrefixes) {
    const std::pair<std::string_view, std::string_view> lines[] = {
        {"sphere", "sphere"}, {"spheres", "sphere"}, {"billboard2", "billboard"},
        {"flare", "flare"},   {"mesh7", "mesh"},     {"flame ring", "flame"},
        {"ps", "ps"},         {"psychedelic", "ps"},
    };
    for (const auto& [line, keyword] : lines) {
        const ObjectKind* kind = objectKindOf(line);
        ASSERT_NE(kind, nullptr) << line;
        EXPECT_EQ(kind->keyword, keyword) << line;
    }
    for (const char* other : {"", "Sphere", "\tsphere", "p", "endworld", "begin", "end", "ENDWORLD",
                              "geometry meshes\\ship.dat", "dir meshes"})
        EXPECT_EQ(objectKindOf(other), nullptr) << other;
}

// Lines are tested against the kinds and the reader's own keywords by prefix, first match wins. While no
// keyword starts with another, a line means the same whatever the order, and a kind added to the table
// cannot take another kind's lines, nor lose its own to one.
TEST(ObjectLineKeywords, NoKeywordStartsWithAnother) {
    const std::vector<std::string_view> keywords = objectLineKeywords();
    for (std::size_t i = 0; i < keywords.size(); ++i)
        for (std::size_t j = 0; j < keywords.size(); ++j)
            EXPECT_TRUE(i == j || !keywords[i].starts_with(keywords[j]))
                << "\"" << keywords[i] << "\" starts with \"" << keywords[j] << "\"";
}

TEST_F(ObjectScriptReaderTest, HandsEveryObjectLineToItsKindAndReportsProgressPerObject) {
    TestArchive archive({{"objects.txt", text("dir textures\n"
                                              "a comment\n"
                                              "spheres\nbegin Earth\nend\n"
                                              "psystem\nunrelated line before begin\nbegin\nend\n"
                                              "mesh2\nbegin Ship\nend\n"
                                              "billboard\nbegin\nend\n"
                                              "flare\nbegin\nend\n"
                                              "flame\nbegin\nend\n"
                                              "ENDWORLD\n"
                                              "sphere\nbegin Late\nend\n")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(read("objects.txt"));
    ASSERT_EQ(list.size(), 6u);
    const std::string_view expected[] = {"sphere", "ps", "mesh", "billboard", "flare", "flame"};
    for (std::size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i]->kind, expected[i]) << i;
    EXPECT_EQ(list[0]->name, "Earth");
    EXPECT_EQ(list[2]->name, "Ship");
    EXPECT_EQ(progressCalls, 6);
}

TEST_F(ObjectScriptReaderTest, UnfinishedBlockAtTheEndOfTheDataIsDropped) {
    TestArchive archive({{"objects.txt", text("sphere\nbegin Kept\nend\nsphere\nbegin Lost\nradius 1")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(read("objects.txt"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->name, "Kept");
    EXPECT_EQ(progressCalls, 2);
}

TEST_F(ObjectScriptReaderTest, ParentsAreFoundOnlyEarlierInTheListAndByExactName) {
    TestArchive archive({{"planets.txt", text("sphere\nbegin Moon0\nparent Earth\nend\n"
                                              "sphere\nbegin Earth\nend\n"
                                              "sphere\nbegin Moon\nparent Earth\nend\n"
                                              "sphere\nbegin Moon2\nparent earth\nend\n"
                                              "sphere\nbegin AVeryLongPlanetName\nend\n"
                                              "sphere\nbegin Ring\nparent AVeryLongPlanetNameToo\nend\n")},
                         {"moons.txt", text("sphere\nbegin Luna\nparent Earth\nend\n")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(read("planets.txt"));
    ASSERT_TRUE(read("moons.txt"));
    ASSERT_EQ(list.size(), 7u);
    const SceneObject* earth = list[1];
    EXPECT_EQ(list[0]->parent, nullptr);
    EXPECT_EQ(list[2]->parent, earth);
    EXPECT_EQ(list[3]->parent, nullptr);
    EXPECT_EQ(list[4]->name, "AVeryLongPlane");
    EXPECT_EQ(list[5]->parent, list[4]); // both names are cut to the same 14 characters
    EXPECT_EQ(list[6]->parent, earth);   // an earlier script read into the same list counts too

    EXPECT_EQ(findObjectByName(list, "Earth"), earth);
    EXPECT_EQ(findObjectByName(list, "Eart"), nullptr);
    EXPECT_EQ(findObjectByName({}, "Earth"), nullptr);
}

TEST_F(ObjectScriptReaderTest, EveryScriptStartsWithAFreshParseStateAndAppendsToTheList) {
    TestArchive archive({{"objects.txt", text("sphere\nbegin\nend\nsphere\nbegin\nend\n")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(read("objects.txt"));
    ASSERT_TRUE(read("objects.txt"));
    ASSERT_EQ(list.size(), 4u);
    for (std::size_t script = 0; script < 2; ++script) {
        SCOPED_TRACE(script);
        const ScriptParseState& first = recorded(list[2 * script]).stateBefore;
        EXPECT_FLOAT_EQ(first.flashPhase, 0);
        EXPECT_FLOAT_EQ(first.moonSpeedFactor, 1);
        EXPECT_FALSE(first.lastTextureWasTga);
        const ScriptParseState& second = recorded(list[2 * script + 1]).stateBefore;
        EXPECT_FLOAT_EQ(second.flashPhase, 0.25f);
        EXPECT_FLOAT_EQ(second.moonSpeedFactor, 0.75f);
        EXPECT_TRUE(second.lastTextureWasTga);
    }
}

TEST_F(ObjectScriptReaderTest, MissingScriptAddsNothing) {
    TestArchive archive({});
    show.files = ShowFiles(archive.path());
    EXPECT_FALSE(read("missing.txt"));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(progressCalls, 0);
}

TEST_F(ObjectScriptReaderTest, LinesInsideABlockBelongToItsObject) {
    TestArchive archive({{"objects.txt", text("sphere\nbegin\nps inside the block\nmesh inside\nend\n"
                                              "geometry missing.dat\n"
                                              "ps\nbegin\nend\n")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(readObjectScript(show, list, "objects.txt", [this] { ++progressCalls; }));
    ASSERT_EQ(list.size(), 2u); // the sphere and the particle system; nothing from inside the sphere's block
    EXPECT_NE(dynamic_cast<Sphere*>(list[0]), nullptr);
    EXPECT_NE(dynamic_cast<ParticleSystem*>(list[1]), nullptr);
    EXPECT_EQ(progressCalls, 3); // two object lines and the geometry line
}

class GeometryLineTest : public GlTest {};

TEST_F(GeometryLineTest, EachMeshTakesTheListOfTheGeometryLineBeforeIt) {
    TestArchive archive({{"meshes\\a.dat", meshFileBytes(oneTriangleMesh())},
                         {"meshes\\b.dat", meshFileBytes(sharedCornerMesh())},
                         {"objects.txt", text("geometry meshes\\a.dat\nmesh\nbegin\nend\n"
                                              "geometry meshes\\b.dat\nmesh\nbegin\nend\n"
                                              "geometry\nmesh\nbegin\nend\n")}});
    Show show(archive.path());
    show.meshes.geometry = 0;
    ObjectList list;
    int progressCalls = 0;
    ASSERT_TRUE(readObjectScript(
        show, list, "objects.txt", [&] { ++progressCalls; }, recordingKinds()));
    ASSERT_EQ(list.size(), 3u);
    const GLuint first = recorded(list[0]).geometry;
    const GLuint second = recorded(list[1]).geometry;
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_TRUE(glIsList(first));
    // A geometry line without a file name loads nothing: the last list stays.
    EXPECT_EQ(recorded(list[2]).geometry, second);
    EXPECT_EQ(show.meshes.geometry, second);
    EXPECT_EQ(progressCalls, 6);
}

TEST_F(ObjectScriptReaderTest, TextureLinesMarkTheObjectTexturedWhetherOrNotTheRegistryHasThePicture) {
    const TextureRegistry previous = std::exchange(
        show.textures, TextureRegistry{{.texture = 9, .path = "textures\\ring.tga", .lit = {}}});
    TestArchive archive({{"objects.txt", text("sphere\nbegin\ntexture textures\\ring.tga\nend\n"
                                              "sphere\nbegin\ntexture textures\\none.jpg\nend\n"
                                              "sphere\nbegin\ntexture\nend\n")}});
    show.files = ShowFiles(archive.path());
    ASSERT_TRUE(read("objects.txt"));
    show.textures = previous;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0]->textured);
    EXPECT_EQ(list[0]->textureId, 9u);
    EXPECT_TRUE(list[0]->tga);
    EXPECT_TRUE(list[1]->textured);
    EXPECT_EQ(list[1]->textureId, 0u);
    EXPECT_FALSE(list[2]->textured);
}

TEST(ResolveTexture, FindsTheTextureByItsPathAndTellsTgaByTheName) {
    Show show;
    const TextureRegistry previous = std::exchange(
        show.textures, TextureRegistry{{.texture = 7, .path = "textures\\earth.jpg", .lit = {}},
                                       {.texture = 9, .path = "textures\\ring.tga", .lit = {}}});
    RecordedObject object;
    resolveTexture(show, object, "textures\\ring.tga");
    EXPECT_EQ(object.textureId, 9u);
    EXPECT_TRUE(object.tga);
    resolveTexture(show, object, "textures\\EARTH.jpg");
    EXPECT_EQ(object.textureId, 9u); // not found: kept
    EXPECT_FALSE(object.tga);
    resolveTexture(show, object, "textures\\earth.jpg");
    EXPECT_EQ(object.textureId, 7u);
    resolveTexture(show, object, "textures\\SHIP.TGA");
    EXPECT_FALSE(object.tga); // only a lower-case ending says the picture has alpha
    show.textures = previous;
}
