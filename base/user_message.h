#pragma once

#include <functional>
#include <string>

// The only messages the user ever sees are a few fixed texts with a caption ("Error", "TGA", "ERROR"). Code
// that has one to show calls showUserMessage; the shell decides how it appears: a message box on Windows, a
// line on standard error on Linux.
using UserMessageHandler = std::function<void(const char* caption, const std::string& text)>;

void showUserMessage(const char* caption, const std::string& text);

// Makes `handler` show every later message and returns the one it replaces. An empty handler restores the
// default, which writes "caption: text" as one line on standard error.
UserMessageHandler setUserMessageHandler(UserMessageHandler handler);
