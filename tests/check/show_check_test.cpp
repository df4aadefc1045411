#include "check/show_check.h"

#include "tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path exampleShow = fs::path(HELIOX_SOURCE_DIR) / "examples" / "tiny";

std::string faultList(const std::vector<ShowFault>& faults) {
    std::string list;
    for (const ShowFault& fault : faults)
        list += describeFault(fault) + "\n";
    return list;
}

std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The line of `text` that holds `marker`, counting from 1; 0 when none does.
int lineOf(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? 0
                                   : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

TEST(ShowCheck, TheBuiltShowAndTheExampleAreClean) {
    for (const std::string& show : {std::string(HELIOX_SHOW_ARCHIVE), exampleShow.string()}) {
        const std::vector<ShowFault> faults = checkShow(show);
        EXPECT_TRUE(faults.empty()) << show << ":\n" << faultList(faults);
    }
}

// A mistake an author makes in a copy of the example: `from` becomes `to` in `file` (appended when `from`
// is empty). The check must name the file, the line where `marker` then stands (0: the file as a whole),
// and say `says`.
struct Mistake {
    std::string file;
    std::string from;
    std::string to;
    std::string marker;
    std::string says;
};

TEST(ShowCheck, EveryTypicalMistakeIsNamedWhereItIsWithWhatToDo) {
    const std::vector<Mistake> mistakes{
        {"tiny.txt", "radius 5000", "radus 5000", "radus",
         "unknown keyword \"radus\" (did you mean \"radius\"?)"},
        {"tiny.txt", "sphere\nbegin Planet", "shpere\nbegin Planet", "shpere", "did you mean \"sphere\"?"},
        {"tiny.txt", "radius 600", "radius -600", "radius -600", "out of range for \"radius\""},
        {"glare.txt", "lumin 0.8", "lumin nan", "lumin nan", "an ordinary number"},
        {"tiny.txt", "radius 3800\ntexture textures\\mars.jpg", "radius big\ntexture textures\\mars.jpg",
         "radius big", "\"radius\" is written \"radius NUMBER\""},
        {"tiny.txt", "textures\\moon.jpg", "textures\\pluto.jpg", "pluto",
         "missing texture \"textures\\pluto.jpg\""},
        {"tiny.txt", "geometry meshes\\ring.dat", "geometry meshes\\rings.dat", "rings.dat",
         "missing mesh \"meshes\\rings.dat\""},
        {"tiny.txt", "parent Planet\nposition V(0", "parent Planett\nposition V(0", "Planett",
         "parent \"Planett\" is no object before this one"},
        {"tiny.txt", "end\n\nENDWORLD", "\nENDWORLD", "begin Moon", "block not closed"},
        {"worlds.txt", "env space", "env spaec", "spaec", "environment \"spaec\" is not defined"},
        {"worlds.txt", "objects tiny.txt", "objects tiny2.txt", "tiny2", "missing script \"tiny2.txt\""},
        {"texture.txt", "moon.jpg\n", "moon.jpg\nmoons.jpg\n", "moons",
         "missing picture \"textures\\moons.jpg\""},
        {"notes.txt", "", "what to do next\n", "", "unused file"},
        {"texture.txt", "flare.jpg\n", "flare.jpg\nhuge.tga\n", "huge", "too large"},
        {"glare.txt", "ENDWORLD", "ps\nbegin\ndens 20000\nend\nps\nbegin\ndens 20000\nend\n", "",
         "a show may use at most 20000 particles"},
    };
    const fs::path base = makeTemporaryFolder("heliox-show-check");
    ASSERT_FALSE(base.empty());
    for (const Mistake& mistake : mistakes) {
        const fs::path show = base / "show";
        fs::remove_all(show);
        fs::copy(exampleShow, show, fs::copy_options::recursive);
        fs::remove(show / "README.md");
        // A TGA header promising 5000 × 5000 pixels, with none of them.
        std::string header(18, '\0');
        header[2] = 2;
        header[12] = header[14] = static_cast<char>(5000 & 0xFF);
        header[13] = header[15] = static_cast<char>(5000 >> 8);
        header[16] = 24;
        writeText(show / "textures" / "huge.tga", header);
        if (mistake.to.find("huge") == std::string::npos)
            fs::remove(show / "textures" / "huge.tga");

        std::string text = readText(show / mistake.file);
        if (mistake.from.empty()) {
            text += mistake.to;
        } else {
            const std::size_t at = text.find(mistake.from);
            ASSERT_NE(at, std::string::npos) << mistake.from << " in " << mistake.file;
            text.replace(at, mistake.from.size(), mistake.to);
        }
        writeText(show / mistake.file, text);

        std::ostringstream report;
        EXPECT_EQ(runShowCheck(show.string(), report), 1) << mistake.says;
        const std::vector<ShowFault> faults = checkShow(show.string());
        const int line = mistake.marker.empty() ? 0 : lineOf(text, mistake.marker);
        const bool named = std::any_of(faults.begin(), faults.end(), [&](const ShowFault& fault) {
            return fault.message.find(mistake.says) != std::string::npos &&
                   (fault.file.empty() || (fault.file == mistake.file && fault.line == line));
        });
        EXPECT_TRUE(named) << "expected " << mistake.file << ":" << line << ": ..." << mistake.says
                           << "\ngot:\n"
                           << faultList(faults);
    }
    fs::remove_all(base);
}

} // namespace
