// A process may run more than one show (the tests do, and any host that restarts the saver in place): each
// run's show starts from nothing, whatever the show before it left.
#include "app/headless/gl_context.h"
#include "app/saver_run.h"
#include "base/settings.h"
#include "base/user_message.h"
#include "data/texture_registry.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// A show whose world is empty, with the texture list `list` and the pictures `pictures`.
ArchiveMembers emptyShow(const std::string& list, const ArchiveMembers& pictures) {
    ArchiveMembers members{
        {"texture.txt", text(list)},
        {"env.txt", text("env space\nend\nENV_END\n")},
        {"worlds.txt", text("world world\nenv space\nobjects empty.txt\nend\nWORLD_END\n")},
        {"empty.txt", text("ENDWORLD\n")}};
    members.insert(members.end(), pictures.begin(), pictures.end());
    return members;
}

// The colour of the first texel of the texture the show's registry has under `path`.
std::vector<std::uint8_t> firstTexel(const TextureRegistry& textures, const std::string& path) {
    const TextureEntry* entry = findTexture(textures, path);
    if (!entry || !glIsTexture(entry->texture))
        return {};
    glBindTexture(GL_TEXTURE_2D, entry->texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return {texels.begin(), texels.begin() + 3};
}

TEST(SaverRun, ASecondShowInTheProcessFindsItsOwnTexturesNotTheFirstShows) {
    const Settings settings;
    {
        auto context = HeadlessGlContext::create(64, 64);
        ASSERT_NE(context, nullptr);
        TestArchive first{emptyShow("a.jpg\nx.jpg\nEND_TEXT\n", {{"textures\\a.jpg", solidJpeg(255, 0, 0)},
                                                                 {"textures\\x.jpg", solidJpeg(0, 255, 0)}})};
        SaverRun run(settings, 64, 64, {}, first.path());
        ASSERT_TRUE(run.load(1));
        ASSERT_EQ(run.show().textures.size(), 2u);
    }
    // A new context, as a new window would have: the first show's texture names mean nothing in it.
    auto context = HeadlessGlContext::create(64, 64);
    ASSERT_NE(context, nullptr);
    TestArchive second{emptyShow("x.jpg\nEND_TEXT\n", {{"textures\\x.jpg", solidJpeg(0, 0, 255)}})};
    SaverRun run(settings, 64, 64, {}, second.path());
    ASSERT_TRUE(run.load(1));
    EXPECT_EQ(run.show().textures.size(), 1u);
    const std::vector<std::uint8_t> texel = firstTexel(run.show().textures, "textures\\x.jpg");
    ASSERT_EQ(texel.size(), 3u) << "the registry's x.jpg is no texture of this context";
    EXPECT_LT(texel[0], 16);
    EXPECT_LT(texel[1], 16);
    EXPECT_GT(texel[2], 240);
}

} // namespace

// A key, a click or a stop signal while the show loads ends the load where it is: nothing more is read, and
// nothing is said about what was left out of a show the user no longer waits for.
TEST(SaverRun, ALoadAskedToStopGivesUpAtOnceAndSaysNothing) {
    auto context = HeadlessGlContext::create(64, 64);
    ASSERT_NE(context, nullptr);
    TestArchive show{
        emptyShow("a.jpg\nmissing.jpg\nEND_TEXT\n", {{"textures\\a.jpg", solidJpeg(255, 0, 0)}})};
    std::vector<std::string> messages;
    const UserMessageHandler previous =
        setUserMessageHandler([&messages](const char* caption, const std::string& text) {
            messages.push_back(caption + (": " + text));
        });
    const Settings settings;
    int asked = 0;
    SaverHooks hooks;
    hooks.stopLoading = [&asked] {
        ++asked;
        return true;
    };
    SaverRun stopped(settings, 64, 64, hooks, show.path());
    EXPECT_FALSE(stopped.load(1));
    EXPECT_TRUE(stopped.stoppedWhileLoading());
    EXPECT_EQ(asked, 1) << "the answer sticks; the shell is not asked again";
    EXPECT_TRUE(stopped.show().textures.empty());
    EXPECT_TRUE(messages.empty());

    hooks.stopLoading = [] { return false; };
    SaverRun whole(settings, 64, 64, hooks, show.path());
    EXPECT_TRUE(whole.load(1));
    EXPECT_FALSE(whole.stoppedWhileLoading());
    EXPECT_EQ(whole.show().textures.size(), 2u);
    EXPECT_EQ(messages, std::vector<std::string>{"Error: ARCH:Can't load JPG file: textures\\missing.jpg"});
    setUserMessageHandler(previous);
}
