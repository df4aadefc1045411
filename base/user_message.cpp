#include "base/user_message.h"

#include <cstdio>
#include <utility>

namespace {

void writeToStandardError(const char* caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption, text.c_str());
}

UserMessageHandler& currentHandler() {
    static UserMessageHandler handler = writeToStandardError;
    return handler;
}

} // namespace

void showUserMessage(const char* caption, const std::string& text) {
    currentHandler()(caption, text);
}

UserMessageHandler setUserMessageHandler(UserMessageHandler handler) {
    if (!handler)
        handler = writeToStandardError;
    return std::exchange(currentHandler(), std::move(handler));
}
