#include "app/win32/test_hooks.h"

#include <cstdlib>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string testFramePath() {
    return variable("HELIOX_TEST_FRAME");
}

bool testMessagesToStandardError() {
    return variable("HELIOX_TEST_MESSAGES") == "stderr";
}

std::string testDialogScript() {
    return variable("HELIOX_TEST_DIALOG");
}
