// A show that asks for far more than any honest show: the budget leaves the excess out with one message per
// kind of excess, naming where the first refused thing stands, and the rest of the show still loads and
// draws without taking the machine's memory.
#include "tests/data/tga_file.h"
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <sstream>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long sanitizerKilobytes = 512'000; // freed memory held back to catch late uses, and its shadow
#else
constexpr long sanitizerKilobytes = 0;
#endif

// A run-length TGA of one colour: megapixels of texture in a few hundred kilobytes of archive.
std::vector<std::uint8_t> largeSolidTga(int side) {
    TgaFile tga;
    tga.type = 10;
    tga.width = tga.height = static_cast<std::uint16_t>(side);
    for (int packet = 0; packet < side * side / 128; ++packet)
        tga.data.insert(tga.data.end(), {0xFF, 40, 80, 120, 255});
    return tga.bytes();
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

std::vector<std::string> linesContaining(const std::string& output, const std::string& word) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        if (line.find(word) != std::string::npos)
            lines.push_back(line);
    return lines;
}

TEST(ShowBudget, AShowFarOverItLoadsWithinItWithOneMessagePerKindOfExcess) {
    const fs::path folder = fs::temp_directory_path() / "heliox-show-budget";
    fs::remove_all(folder);
    TestShow show;
    // 33 pictures of 4 megapixels: one more than 128 megapixels hold.
    show.addText("texture.txt", repeated("big.tga\n", 33) + "END_TEXT\n");
    show.addBytes("textures\\big.tga", largeSolidTga(2048));
    show.addMesh("meshes\\sphere.dat", uvSphereMesh(16, 24));
    show.addMesh("meshes\\env.dat", uvSphereMesh(8, 12));
    show.addMesh("meshes\\big.dat", uvSphereMesh(250, 400)); // about 200,000 triangles
    show.addText("env.txt", "env space\nend\nENV_END\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
    // Forty particle systems of 15,000, sixteen large meshes, 2,500 billboards and a lit planet at the end.
    show.addText("solar.txt",
                 repeated("ps\nbegin storm\ndens 15000\ntexture textures\\big.tga\nend\n", 40) +
                     repeated("geometry meshes\\big.dat\n", 16) +
                     repeated("billboard\nbegin dust\nposition V(0 0 -200)\nsize 5\nend\n", 2500) +
                     "sphere\nbegin Earth\nradius 100\nposition V(0 0 -1000)\nend\nENDWORLD\n");
    const fs::path archive = show.save(folder);

    RenderRun run = renderShow(archive, folder / "frames", "--frames 1 --size 320x240 --seed 3");
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);

    EXPECT_EQ(run.exitCode, 1) << "a render that showed messages says so\n" << run.output;
    EXPECT_EQ(run.frames.size(), 1u) << run.output;
    const std::vector<std::string> messages = linesContaining(run.output, "left out");
    ASSERT_EQ(messages.size(), 4u) << run.output;
    const auto expectEnding = [](const std::string& message, const std::string& ending) {
        EXPECT_TRUE(message.ends_with(ending)) << message << "\ndoes not end with\n" << ending;
    };
    // One system of 15,000 fits, the other 39 pass the particle limit. With it, 1,999 billboards make 2,000
    // objects: the 2,000th billboard (line 200 + 16 + 1,999 * 5 + 1) is the first left out, then the 500
    // after it and the Earth. The sphere lists and 14 large meshes fill the triangles, so the 15th geometry
    // line (215) and the 16th are left out. Of 33 pictures of 4 megapixels, 32 fill 128 megapixels.
    expectEnding(
        messages[0],
        "solar.txt line 10212: billboard and 501 more left out: a show may use at most 2000 objects");
    expectEnding(messages[1],
                 "solar.txt line 6: ps and 38 more left out: a show may use at most 20000 particles");
    expectEnding(messages[2],
                 "solar.txt line 215: geometry meshes\\big.dat and 1 more left out: a show may use "
                 "at most 3000000 triangles");
    expectEnding(messages[3],
                 "texture.txt line 33: big.tga left out: a show may use at most 134217728 texture pixels");
    // What is kept (about 0.9 GB, nearly all of it texture) stays within the ceiling.
    EXPECT_LT(usage.ru_maxrss, 1'200'000 + sanitizerKilobytes)
        << "kilobytes at the most, over the load and frame";
    fs::remove_all(folder);
}

} // namespace
