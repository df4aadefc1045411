#pragma once

#include "tools/sdd/archive_packer.h"

#include <filesystem>
#include <string>
#include <vector>

// The tool's commands, one file each. Each reports what went wrong as it goes and returns the exit status
// (tools/sdd/command_report.h).

// l: the members with their sizes, ratio, date, CRC, method and attributes, and the totals.
int listArchive(const std::string& archive);

// t: decodes every member and checks its CRC, keeping nothing.
int testArchive(const std::string& archive);

struct ExtractOptions {
    std::vector<std::string> patterns; // none: every member
    std::filesystem::path folder = ".";
    bool overwrite = false;
    bool keepBroken = false; // a member that fails its check is kept under its name all the same
};

// x: the members the patterns select, written to files under the folder with their dates and modes.
int extractMembers(const std::string& archive, const ExtractOptions& options);

// p: the members the patterns select, written to standard output.
int printMembers(const std::string& archive, const std::vector<std::string>& patterns);

// a: adds files and folders to the archive, made when missing. `levelGiven`: the level in `options` was
// asked for rather than the default.
int addToArchive(const std::string& archive, const std::vector<std::string>& operands, PackOptions options,
                 bool levelGiven);
