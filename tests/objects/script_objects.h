#pragma once

#include "objects/object_script_reader.h"
#include "tests/data/test_archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

// The objects of `script` read as the show reads them, from an archive holding only that script: a show of
// its own, with the whole budget.
inline ObjectList readScript(std::string_view script) {
    TestArchive archive({{"objects.txt", text(script)}});
    showBudget = {};
    ObjectList list;
    EXPECT_TRUE(readObjectScript(list, "objects.txt"));
    return list;
}
