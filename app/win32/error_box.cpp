#include "app/win32/error_box.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* consolePrefix = "heliox: ";
constexpr const char* damagedDataAdvice =
    "The show's data may be damaged: reinstalling Heliox puts back a whole copy.";

} // namespace

std::string errorBoxText(const char* caption, const std::string& text) {
    std::string box = text.starts_with(consolePrefix) ? text.substr(std::strlen(consolePrefix)) : text;
    if (std::strcmp(caption, programCaption) != 0)
        box += std::string("\n\n") + damagedDataAdvice;
    return box;
}

void showErrorBox(const char* caption, const std::string& text) {
    MessageBoxA(nullptr, errorBoxText(caption, text).c_str(), programCaption,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void writeErrorLine(const char* caption, const std::string& text) {
    std::string line = errorBoxText(caption, text);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(stderr, "%s: %s\n", programCaption, line.c_str());
    std::fflush(stderr);
}
