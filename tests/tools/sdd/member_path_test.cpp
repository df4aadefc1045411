#include "tools/sdd/member_path.h"

#include <gtest/gtest.h>

namespace {

std::string outputPath(std::string_view name) {
    std::string reason;
    auto path = outputPathFor(name, reason);
    return path ? path->generic_string() : "refused: " + reason;
}

std::string memberName(std::string_view file) {
    std::string reason;
    auto name = memberNameFor(file, reason);
    return name ? *name : "refused: " + reason;
}

TEST(OutputPath, BackslashesBecomeFolders) {
    EXPECT_EQ(outputPath("textures\\earth.jpg"), "textures/earth.jpg");
    EXPECT_EQ(outputPath("meshes/sphere.dat"), "meshes/sphere.dat");
    EXPECT_EQ(outputPath("a\\\\.\\b"), "a/b");
    EXPECT_EQ(outputPath(std::string_view("name.txt\0unicode-part", 21)), "name.txt");
}

TEST(OutputPath, NothingMayLandOutsideTheOutputFolder) {
    for (std::string_view name :
         {"\\etc\\passwd", "/etc/passwd", "C:\\x.txt", "c:x.txt", "..\\x", "a\\..\\..\\x", "a/../b", ".."})
        EXPECT_EQ(outputPath(name).rfind("refused: ", 0), 0u) << name;
    EXPECT_EQ(outputPath("..hidden\\x..y"), "..hidden/x..y"); // dots inside a name are fine
    EXPECT_EQ(outputPath(""), "refused: empty name");
    EXPECT_EQ(outputPath("\\"), "refused: absolute name");
}

TEST(MemberName, StoredWithBackslashesAndNoLeadingFolderMarks) {
    EXPECT_EQ(memberName("textures/earth.jpg"), "textures\\earth.jpg");
    EXPECT_EQ(memberName("./texture.txt"), "texture.txt");
    EXPECT_EQ(memberName("/tmp/show/env.txt"), "tmp\\show\\env.txt");
    EXPECT_EQ(memberName("../up.txt").rfind("refused: ", 0), 0u);
    EXPECT_EQ(memberName("./").rfind("refused: ", 0), 0u);
}

} // namespace
