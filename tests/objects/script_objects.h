#pragma once

#include "objects/object_script_reader.h"
#include "objects/show.h"
#include "tests/data/test_archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

// The objects of `script` read as the show reads them, from an archive holding only that script: the show's
// files become that archive, and its budget starts whole. The show keeps the objects.
inline ObjectList readScript(Show& show, std::string_view script) {
    TestArchive archive({{"objects.txt", text(script)}});
    show.files = ShowFiles(archive.path());
    show.budget = {};
    ObjectList list;
    EXPECT_TRUE(readObjectScript(show, list, "objects.txt"));
    return list;
}
