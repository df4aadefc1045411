// sdd: the archive tool for data.sdd and any other RAR 2.x archive, used as unrar, unar and 7z are:
//   sdd l ARCHIVE...                  list the members, with sizes, ratio, date, attributes and totals
//   sdd t ARCHIVE...                  decode every member and check its CRC, keeping nothing
//   sdd x ARCHIVE [PATTERN...] [-o DIR] [-f] [-kb]
//                                     extract to files, restoring their dates and modes; existing files
//                                     are kept unless -f; a file takes its name only once its CRC is
//                                     right, unless -kb keeps broken ones
//   sdd p ARCHIVE PATTERN...          write members to standard output
//   sdd a ARCHIVE FILE|FOLDER... [-m0..-m5] [-s] [-mm]
//                                     add to the archive (made when missing); members of exactly the same
//                                     name are replaced; FILE may be NAME=PATH to store PATH as NAME. The
//                                     members of an archive that is not solid are copied as they are.
//                                     The archive is written beside the target, read back member by
//                                     member and only then put in its place.
// Exit codes: 0 success; 1 a file kept, skipped or not read or written; 2 a usage error; 3 a damaged or
// unreadable archive (the larger wins). Every error names the archive, the member and why.
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/freed_memory.h"
#include "tools/sdd/interrupt_cleanup.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Every option here is in the manual (resources/sdd.1.in) too, and the other way round; a test holds them
// to that.
constexpr const char* helpText =
    "Usage: %s COMMAND ARCHIVE [ARGUMENT...] [OPTION...]\n"
    "Lists, tests, extracts and writes RAR 2.x archives such as Heliox's data.sdd.\n"
    "\n"
    "Commands:\n"
    "  l ARCHIVE...              list the members: attributes, size, packed size, ratio,\n"
    "                            date and time, CRC-32, method; and the totals\n"
    "  t ARCHIVE...              test: decode every member and check its CRC-32\n"
    "  x ARCHIVE [PATTERN...]    extract all members, or those the patterns select, with\n"
    "                            their dates and modes; files already there are kept unless -f\n"
    "  p ARCHIVE PATTERN...      write the members the patterns select to standard output\n"
    "  a ARCHIVE FILE|FOLDER...  add files, and folders with everything in them (empty ones\n"
    "                            too), with their dates and modes, to the archive (made when\n"
    "                            missing); a member of exactly the same name is replaced;\n"
    "                            NAME=PATH stores the file or folder PATH as NAME, unless a\n"
    "                            file of that whole name is there\n"
    "\n"
    "Options:\n"
    "  -o FOLDER    x: extract into FOLDER (default: the current folder)\n"
    "  -f           x: overwrite files that are already there\n"
    "  -kb          x: keep a member that fails its check under its name, damaged\n"
    "  -m0 ... -m5  a: -m0 stores; -m1 (fastest) to -m5 (smallest) pack; default -m3\n"
    "  -s           a: solid archive, packed as one stream (smaller, slower to get at)\n"
    "  -mm          a: multimedia packing, for sound and pictures\n"
    "  --           the arguments after it are names, even when they start with '-'\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Patterns: '*' matches any run of characters, folder separators included, '?' any one,\n"
    "[abc] one of a set; each is matched against the whole name, so '*.txt' selects src\\a.txt\n"
    "too. Case counts; '/' and '\\' are alike; a folder's name selects everything in it.\n"
    "Quote them:\n"
    "  %s x data.sdd 'textures/*.jpg' -o show\n"
    "\n"
    "Exit status:\n"
    "  0  all done\n"
    "  1  the archive is sound, but a file was kept, skipped or left out: a file already there\n"
    "     kept without -f, a path in a tree given to a that could not be read, a pattern that\n"
    "     selected nothing, a file or standard output that could not be written\n"
    "  2  the command line was wrong\n"
    "  3  the archive is damaged or unreadable: a member or header failed its check, or the\n"
    "     archive could not be opened; a refuses to rewrite such an archive\n"
    "  When both 1 and 3 apply, the status is 3.\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", programName.c_str(),
                 problem.c_str(), programName.c_str());
    return exitUsage;
}

// The options, and the commands that take each.
struct OptionRule {
    std::string_view name;
    std::string_view commands;
    bool takesValue = false;
};
constexpr OptionRule optionRules[] = {
    {"-o", "x", true}, {"-f", "x"},  {"-kb", "x"}, {"-m0", "a"}, {"-m1", "a"}, {"-m2", "a"},
    {"-m3", "a"},      {"-m4", "a"}, {"-m5", "a"}, {"-s", "a"},  {"-mm", "a"},
};

} // namespace

int main(int argc, char** argv) {
    // Names are matched and cut as the user's locale spells characters (UTF-8, as a rule).
    std::setlocale(LC_CTYPE, "");
    interrupt_cleanup::install();
    keepFreedMemoryForReuse();
    if (argc > 0 && argv[0][0] != '\0')
        programName = std::filesystem::path(argv[0]).filename().string();
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    for (std::string_view arg : arguments) {
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help") {
            std::printf(helpText, programName.c_str(), programName.c_str());
            return std::fflush(stdout) == 0 ? exitOk : exitSkipped;
        }
        if (arg == "--version") {
            std::printf("%s (Heliox) %s\n", programName.c_str(), HELIOX_VERSION);
            return std::fflush(stdout) == 0 ? exitOk : exitSkipped;
        }
    }
    if (arguments.empty())
        return usage("no command given");
    const std::string command(arguments[0]);
    if (command != "l" && command != "t" && command != "x" && command != "p" && command != "a")
        return usage("unknown command '" + command + "'");

    std::vector<std::string> operands;
    ExtractOptions extractOptions;
    PackOptions packOptions;
    bool levelGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !arg.starts_with("-") || arg.size() == 1) {
            operands.emplace_back(arg);
            continue;
        }
        const auto rule = std::ranges::find(optionRules, arg, &OptionRule::name);
        if (rule == std::end(optionRules))
            return usage("unknown option '" + std::string(arg) + "'");
        if (rule->commands.find(command) == std::string_view::npos)
            return usage(programName + " " + command + " takes no " + std::string(arg));
        std::string_view value;
        if (rule->takesValue) {
            if (++i == arguments.size())
                return usage(std::string(arg) + " needs a value");
            value = arguments[i];
        }
        if (arg == "-o")
            extractOptions.folder = value;
        else if (arg == "-f")
            extractOptions.overwrite = true;
        else if (arg == "-kb")
            extractOptions.keepBroken = true;
        else if (arg == "-s")
            packOptions.solid = true;
        else if (arg == "-mm")
            packOptions.multimedia = true;
        else {
            packOptions.level = arg[2] - '0';
            levelGiven = true;
        }
    }

    if (operands.empty())
        return usage(programName + " " + command + " needs an archive");
    const std::string archive = operands.front();
    const std::vector<std::string> rest(operands.begin() + 1, operands.end());
    if (command == "a") {
        if (rest.empty())
            return usage(programName + " a needs at least one file or folder to add");
        return addToArchive(archive, rest, packOptions, levelGiven);
    }
    if (command == "x") {
        extractOptions.patterns = rest;
        return extractMembers(archive, extractOptions);
    }
    if (command == "p") {
        if (rest.empty())
            return usage(programName + " p needs the member (or a pattern) to write");
        return printMembers(archive, rest);
    }
    // l and t take several archives; each is reported, and the worst result is the exit status.
    int status = exitOk;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (command == "l" && i > 0)
            std::putchar('\n');
        status = std::max(status, command == "l" ? listArchive(operands[i]) : testArchive(operands[i]));
    }
    return status;
}
