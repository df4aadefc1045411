#pragma once

#include "tools/sdd/archive_writer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A file or empty folder `a` stores, under the name the user gave it. Plain strings: a std::filesystem::path
// keeps each of its folders apart as well, which for a tree of tens of thousands of files costs many times
// the names themselves.
struct FileToAdd {
    std::string name;
    std::string path;
    bool folder = false;
};

// The files an operand of `a` names, each with the name it is stored under: FILE, NAME=FILE, or a folder
// (FOLDER or NAME=FOLDER) with every file and empty folder in it, in name order so that the same folder
// gives the same archive. An operand that names an existing file is that file, '=' or not. Whatever in a
// folder is not stored is named: symbolic links and special files with a warning, what cannot be read with
// an error counted in `unreadable`. The archive itself, and its lock file, are left out. False, having said
// why (`untouched` ends the message: what became of the archive), when the operand names nothing or cannot
// be stored under its name.
bool filesToAdd(const std::string& archive, const std::string& operand, std::vector<FileToAdd>& files,
                int& unreadable, const std::string& untouched);

// Reads a file for `a` whole, in one go into room made for it (growing as it comes would cost up to twice
// the file), with its time and mode.
bool readFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::uint32_t& time,
              MemberAttributes& attributes, std::string& reason);
