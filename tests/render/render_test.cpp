// `heliox --render` as a user and the golden-frame tests run it: a test show in, PNG frames out, and a clear
// word and a failing exit code when the show cannot be shown.
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("heliox-render-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // The smallest complete show: a texture, an environment, a world and an object script with geometry.
    TestShow minimalShow(std::string_view textureList = "sky.jpg\nEND_TEXT\n") {
        TestShow show;
        show.addText("texture.txt", textureList);
        show.addSolidJpeg("textures\\sky.jpg", 20, 40, 80);
        show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
        show.addText("sky.txt", "ENDWORLD\n");
        show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
        show.addText("solar.txt", "geometry meshes\\ball.dat\ngeometry meshes\\ball.dat\nENDWORLD\n");
        show.addMesh("meshes\\ball.dat", uvSphereMesh(8, 12));
        return show;
    }

    fs::path folder;
};

TEST_F(Render, WritesTheAskedNumberOfFramesAtTheAskedSize) {
    fs::path archive = minimalShow().save(folder);
    RenderRun run = renderShow(archive, folder / "frames", "--frames 3 --size 64x48 --seed 5");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.frames.size(), 3u);
    EXPECT_EQ(run.frames[0].filename(), "frame-00000.png");
    EXPECT_EQ(run.frames[2].filename(), "frame-00002.png");
    EXPECT_NE(run.output.find((folder / "frames").string()), std::string::npos) << run.output;
}

TEST_F(Render, SaysWhyAShowCannotBeShown) {
    RenderRun missing = renderShow(folder / "nothing.sdd", folder / "frames", "--frames 1");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("nothing.sdd: cannot open"), std::string::npos) << missing.output;
    EXPECT_TRUE(missing.frames.empty());

    TestShow noWorlds;
    noWorlds.addText("texture.txt", "END_TEXT\n");
    RenderRun empty = renderShow(noWorlds.save(folder), folder / "frames", "--frames 1");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.output.find("no world to show"), std::string::npos) << empty.output;

    // A picture that is missing still lets the show run, but the user hears about it and the run fails.
    TestShow missingTexture = minimalShow("sky.jpg\nearth.jpg\nEND_TEXT\n");
    RenderRun partial = renderShow(missingTexture.save(folder / "b"), folder / "frames", "--frames 1");
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_NE(partial.output.find("ARCH:Can't load JPG file: textures\\earth.jpg"), std::string::npos)
        << partial.output;
    EXPECT_EQ(partial.frames.size(), 1u);

    // A file in the way of the frames' folder: the system's reason, and the file left as it was.
    std::ofstream(folder / "afile") << "mine";
    RenderRun intoAFile =
        renderShow(minimalShow().save(folder / "c"), folder / "afile" / "frames", "--frames 1");
    EXPECT_EQ(intoAFile.exitCode, 1);
    EXPECT_NE(intoAFile.output.find("frames: cannot create the folder: Not a directory"), std::string::npos)
        << intoAFile.output;
    EXPECT_EQ(fs::file_size(folder / "afile"), 4u);
}

} // namespace
