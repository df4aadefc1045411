#include "data/texture_registry.h"

#include "base/user_message.h"
#include "data/show_budget.h"
#include "data/show_data.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"

#include <string>

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes smallJpeg() {
    return rgbJpeg(2, 2, Bytes(12, 128));
}

Bytes smallTga() {
    return TgaFile{.type = 2, .depth = 32, .width = 1, .height = 1, .data = {1, 2, 3, 4}}.bytes();
}

} // namespace

class TextureRegistryTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        previousHandler = setUserMessageHandler([this](const char* caption, const std::string& text) {
            messages.push_back(std::string(caption) + "|" + text);
        });
    }
    void TearDown() override { setUserMessageHandler(previousHandler); }

    // Loads the list from an archive holding it and the members, counting progress calls.
    TextureRegistry load(std::string_view list, ArchiveMembers members = {}) {
        members.emplace_back("texture.txt", text(list));
        TestArchive archive(members);
        show = ShowData(archive.path());
        loadTextureList(show, "texture.txt", [this] { ++progressCalls; });
        return show.textures;
    }

    ShowData show;
    std::vector<std::string> messages;
    int progressCalls = 0;
    UserMessageHandler previousHandler;
};

TEST_F(TextureRegistryTest, MakesOneEntryPerListedNameInFileOrder) {
    const std::string longName = "a_name_longer_than_twenty_two.jpg";
    const TextureRegistry registry = load("earth.jpg  two more words\r\n"
                                          "\n"
                                          "moon.TGA\n"
                                          "ring.JPG\n"
                                          "sun.Tga\n"
                                          "missing.jpg\n"
                                          "   \t \n" +
                                              longName +
                                              "\n"
                                              "earth.jpg\n"
                                              "END_TEXT and whatever follows\n"
                                              "after.jpg\n",
                                          {{"textures\\earth.jpg", smallJpeg()},
                                           {"textures\\moon.tga", smallTga()},
                                           {"textures\\ring.JPG", smallJpeg()},
                                           {"textures\\sun.Tga", smallTga()},
                                           {"textures\\" + longName, smallJpeg()},
                                           {"textures\\after.jpg", smallJpeg()}});

    std::vector<std::string> paths;
    for (const TextureEntry& entry : registry)
        paths.push_back(entry.path);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"textures\\earth.jpg", "textures\\moon.TGA", "textures\\ring.JPG",
                                        "textures\\sun.Tga", "textures\\missing.jpg", "textures\\" + longName,
                                        "textures\\earth.jpg"}));
    EXPECT_EQ(progressCalls, 7);
    ASSERT_EQ(registry.size(), 7u);
    // Only the exact endings jpg, JPG, tga and TGA are decoded; a missing picture gets texture 0.
    for (const std::size_t made : {0, 1, 2, 5, 6})
        EXPECT_NE(registry[made].texture, 0u) << registry[made].path;
    EXPECT_EQ(registry[3].texture, 0u);
    EXPECT_EQ(registry[4].texture, 0u);
    // A name listed again is the same picture: it is not decoded and paid for twice.
    EXPECT_EQ(registry[0].texture, registry[6].texture);
    // The loader names what it left out in the budget's messages, shown once the show has loaded.
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(
        show.budget.refusalMessages(),
        (std::vector<std::string>{"textures\\sun.Tga left out: not a picture (a name ending in .jpg or .tga)",
                                  "ARCH:Can't load JPG file: textures\\missing.jpg"}));
}

TEST_F(TextureRegistryTest, FindsTheFirstEntryByItsExactStoredPath) {
    const TextureRegistry registry =
        load("earth.jpg\nmoon.tga\nearth.jpg",
             {{"textures\\earth.jpg", smallJpeg()}, {"textures\\moon.tga", smallTga()}});
    ASSERT_EQ(registry.size(), 3u); // the last line has no line feed and still counts
    EXPECT_EQ(findTexture(registry, "textures\\earth.jpg"), &registry[0]);
    EXPECT_EQ(findTexture(registry, "textures\\moon.tga"), &registry[1]);
    EXPECT_EQ(findTexture(registry, "earth.jpg"), nullptr);
    EXPECT_EQ(findTexture(registry, "Textures\\earth.jpg"), nullptr);
    EXPECT_EQ(findTexture(registry, "textures\\earth.jp"), nullptr);
    EXPECT_EQ(findTexture({}, "textures\\earth.jpg"), nullptr);
}

TEST_F(TextureRegistryTest, StopsAtEndTextOrAtTheEndOfTheList) {
    EXPECT_TRUE(load("END_TEXT\nearth.jpg\n", {{"textures\\earth.jpg", smallJpeg()}}).empty());
    EXPECT_TRUE(load("").empty());
    EXPECT_TRUE(load("\n\n   ").empty());
    EXPECT_EQ(progressCalls, 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(TextureRegistryTest, AMissingListLeavesTheRegistryEmpty) {
    TestArchive archive({{"other.txt", text("earth.jpg\n")}});
    ShowData missingList(archive.path());
    loadTextureList(missingList, "texture.txt");
    EXPECT_TRUE(missingList.textures.empty());
}

TEST_F(TextureRegistryTest, LoadTextureLeavesOtherEndingsAlone) {
    TestArchive archive({{"textures\\sign.jpg", smallJpeg()}});
    ShowFiles files(archive.path());
    TextureEntry entry;
    loadTexture(files, entry, "sign.jpg");
    EXPECT_EQ(entry.path, "textures\\sign.jpg");
    const GLuint made = entry.texture;
    EXPECT_NE(made, 0u);
    for (const char* name : {"sign.jpeg", "sign.png", "g"}) {
        loadTexture(files, entry, name);
        EXPECT_EQ(entry.path, std::string("textures\\") + name);
        EXPECT_EQ(entry.texture, made);
    }
}
