#include "base/printable_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintableText, ControlCharactersAndStrayBytesAreEscaped) {
    EXPECT_EQ(printableText("textures\\\u0442\u0435\u0441\u0442.jpg"),
              "textures\\\u0442\u0435\u0441\u0442.jpg");
    EXPECT_EQ(printableText("a\x1B[2J\nb\x7F"), "a\\x1B[2J\\x0Ab\\x7F");
    EXPECT_EQ(printableText("c1\xC2\x9B"
                            "end"),
              "c1\\xC2\\x9Bend"); // CSI as one 8-bit control
    EXPECT_EQ(printableText("latin1 \xE9t\xE9 \xC0\x80"), "latin1 \\xE9t\\xE9 \\xC0\\x80");
}

} // namespace
