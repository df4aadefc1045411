// A show that asks for far more than any honest show: the budget leaves the excess out with one message per
// kind of excess, naming where the first refused thing stands, and the rest of the show still loads and
// draws without taking the machine's memory.
#include "tests/data/jpeg_test_files.h"
#include "tests/data/tga_file.h"
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <iterator>
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
    // One picture of 4 megapixels, named 33 times: one texture that every line shares.
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
    ASSERT_EQ(messages.size(), 3u) << run.output;
    const auto expectEnding = [](const std::string& message, const std::string& ending) {
        EXPECT_TRUE(message.ends_with(ending)) << message << "\ndoes not end with\n" << ending;
    };
    // One system of 15,000 fits, the other 39 pass the particle limit. With it, 1,999 billboards make 2,000
    // objects: the 2,000th billboard (line 200 + 16 + 1,999 * 5 + 1) is the first left out, then the 500
    // after it and the Earth. Each large mesh keeps some 33 MB (its file read, and its list): beside the
    // picture's 22 MB, seven fill the memory, and the 8th geometry line (208) and the 8 after it are left
    // out.
    expectEnding(
        messages[0],
        "solar.txt line 10212: billboard and 501 more left out: a show may use at most 2000 objects");
    expectEnding(messages[1],
                 "solar.txt line 6: ps and 38 more left out: a show may use at most 20000 particles");
    expectEnding(messages[2],
                 "solar.txt line 208: geometry meshes\\big.dat and 8 more left out: a show may use "
                 "at most 268435456 bytes of memory");
    EXPECT_LT(usage.ru_maxrss, 512'000 + sanitizerKilobytes)
        << "kilobytes at the most, over the load and frame";
    fs::remove_all(folder);
}

} // namespace

namespace {

// The archive's bytes with one bit of `text` (stored as it is) flipped.
void flipBitIn(const fs::path& archive, const std::string& text) {
    std::fstream file(archive, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const std::size_t at = bytes.find(text);
    ASSERT_NE(at, std::string::npos);
    file.seekp(static_cast<std::streamoff>(at));
    file.put(static_cast<char>(bytes[at] ^ 0x04));
}

TestShow oneSphereShow() {
    TestShow show;
    show.addMesh("meshes\\sphere.dat", uvSphereMesh(16, 24));
    show.addMesh("meshes\\env.dat", uvSphereMesh(8, 12));
    show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
    show.addText("sky.txt", "billboard\nbegin far\nposition V(0 0 -5000)\nsize 5\nend\nENDWORLD\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
    return show;
}

} // namespace

// Files made to cost the most for their size: each is refused by what its header says, before it is decoded,
// and named with the reason, gathered by reason; thousands of names are not thousands of walks through the
// archive.
TEST(ShowBudget, HostileMembersAreRefusedBeforeTheyAreDecodedAndEachIsNamedWithTheReason) {
    const fs::path folder = fs::temp_directory_path() / "heliox-hostile-show";
    fs::remove_all(folder);
    TestShow show = oneSphereShow();
    std::string list = "scans.jpg\nhuge.jpg\nbig.tga\nbroken.jpg\nnotes.txt\nmissing.tga\nearth.jpg\n";
    for (int i = 0; i < 5000; ++i)
        list += "gone" + std::to_string(i) + ".jpg\nearth.jpg\n";
    show.addText("texture.txt", list + "END_TEXT\n");
    show.addBytes("textures\\scans.jpg", jpegTestFile("scans_100_64x64.jpg"));
    Bytes huge = jpegTestFile("white_64x64.jpg");
    const auto frame = findMarker(huge, 0xC0);
    ASSERT_NE(frame, huge.end());
    frame[5] = frame[7] = 0x20; // 8192 × 8192 pixels, in 876 bytes
    frame[6] = frame[8] = 0x00;
    show.addBytes("textures\\huge.jpg", huge);
    TgaFile tga; // 8192 × 8192 pixels run-length coded: 2.6 MB would pack into a kilobyte or two
    tga.type = 10;
    tga.width = tga.height = 8192;
    tga.data = {0xFF, 40, 80, 120, 255};
    show.addBytes("textures\\big.tga", tga.bytes());
    show.addBytes("textures\\broken.jpg", {'G', 'I', 'F', '8', '9', 'a'});
    show.addSolidJpeg("textures\\earth.jpg", 0, 0, 255);
    show.addText("solar.txt", "sphere\nbegin Earth\nradius 100\nposition V(0 0 -1000)\nend\nENDWORLD\n");
    const fs::path archive = show.save(folder);

    RenderRun run = renderShow(archive, folder / "frames", "--frames 1 --size 320x240 --seed 3");
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.frames.size(), 1u) << run.output;
    const std::vector<std::string> expected = {
        // Each missing picture is a walk through the archive; 1000 walks are all a list gets.
        "texture.txt line 1996: gone994.jpg and 4005 more left out: a show may use at most 1000 archive "
        "member "
        "reads",
        "textures\\scans.jpg left out: damaged or not a picture",
        "textures\\huge.jpg and 1 more left out: too large (more than 16777216 pixels)",
        "textures\\broken.jpg left out: not a picture",
        "textures\\notes.txt left out: not a picture (a name ending in .jpg or .tga)",
        "textures\\missing.tga left out: not found",
        "ARCH:Can't load JPG file: textures\\gone0.jpg and 993 more",
    };
    std::vector<std::string> messages;
    for (const std::string& line : linesContaining(run.output, "heliox: Error: "))
        messages.push_back(line.substr(line.find("Error: ") + 7));
    EXPECT_EQ(messages, expected) << run.output;
    // The 8192 × 8192 pictures were never decoded: a gigabyte between them.
    EXPECT_LT(usage.ru_maxrss, 512'000 + sanitizerKilobytes)
        << "kilobytes at the most, over the load and frame";
    fs::remove_all(folder);
}

// A member that fails its check or cannot be used is named with the reason (a missing mesh once, however many
// lines name it, with their count), and a list of worlds that fails its check makes the whole archive the
// suspect, rather than "no world".
TEST(ShowBudget, DamagedMembersAreNamedAndADamagedListOfWorldsCallsTheArchiveDamaged) {
    const fs::path folder = fs::temp_directory_path() / "heliox-damaged-show";
    fs::remove_all(folder);
    TestShow show = oneSphereShow();
    show.addText("texture.txt", "END_TEXT\n");
    show.addBytes("meshes\\bad.dat", std::vector<std::uint8_t>(12, 0xFF));
    show.addText("solar.txt", repeated("geometry meshes\\nothing.dat\n", 500) + "geometry meshes\\bad.dat\n" +
                                  "sphere\nbegin Earth\nradius 100\nposition V(0 0 -1000)\nend\nENDWORLD\n");
    const fs::path archive = show.save(folder);
    flipBitIn(archive, "begin far");
    RenderRun run = renderShow(archive, folder / "frames", "--frames 1 --size 320x240 --seed 3");
    EXPECT_EQ(
        linesContaining(run.output, "heliox: Error: "),
        (std::vector<std::string>{"heliox: Error: sky.txt left out: CRC mismatch",
                                  "heliox: Error: meshes\\nothing.dat and 499 more left out: not found",
                                  "heliox: Error: meshes\\bad.dat left out: damaged mesh (its counts do "
                                  "not match its size)"}))
        << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;

    flipBitIn(archive, "objects solar.txt");
    run = renderShow(archive, folder / "frames2", "--frames 1 --size 320x240 --seed 3");
    EXPECT_NE(run.output.find("no world to show: the archive is damaged (\"worlds.txt\": CRC mismatch)"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;
    fs::remove_all(folder);
}
