// sdd: the archive tool for data.sdd and any other RAR 2.x archive.
//   sdd l ARCHIVE                     list the members
//   sdd t ARCHIVE                     extract every member in memory and check its CRC
//   sdd x ARCHIVE [MEMBER...] [-o DIR] extract to files
//   sdd p ARCHIVE MEMBER              write one member to standard output
//   sdd a ARCHIVE FILE... [-m0..-m5] [-s] [-mm]
//                                     write a new archive; FILE may be NAME=PATH to store PATH as NAME
// Exit codes: 0 success, 1 a data error, 2 a usage error. Every error names the archive, the member and why.
#include "data/archive_reader.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/member_path.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int exitOk = 0;
constexpr int exitDataError = 1;
constexpr int exitUsage = 2;

// RAR 2.x marks a folder entry with all three dictionary-size bits set.
constexpr std::uint16_t directoryFlags = 0x00E0;

int usage(const char* problem = nullptr) {
    if (problem)
        std::fprintf(stderr, "sdd: %s\n", problem);
    std::fputs(
        "usage: sdd l ARCHIVE                       list the members\n"
        "       sdd t ARCHIVE                       test every member's CRC\n"
        "       sdd x ARCHIVE [MEMBER...] [-o DIR]  extract (all members, or those named)\n"
        "       sdd p ARCHIVE MEMBER                write a member to standard output\n"
        "       sdd a ARCHIVE FILE... [-m0..-m5] [-s] [-mm]\n"
        "                                           write a new archive: -m0 stores, -m1 (fastest) to\n"
        "                                           -m5 (smallest) pack, default -m3; -s solid; -mm\n"
        "                                           multimedia (sound, images); FILE may be NAME=PATH\n",
        stderr);
    return exitUsage;
}

void fail(const std::string& archive, std::string_view member, std::string_view reason) {
    if (member.empty())
        std::fprintf(stderr, "sdd: %s: %.*s\n", archive.c_str(), static_cast<int>(reason.size()),
                     reason.data());
    else
        std::fprintf(stderr, "sdd: %s: %.*s: %.*s\n", archive.c_str(), static_cast<int>(member.size()),
                     member.data(), static_cast<int>(reason.size()), reason.data());
}

bool isDirectory(const MemberHeader& member) {
    return (member.flags & directoryFlags) == directoryFlags;
}

int list(const std::string& archive, FileArchiveSource& source) {
    std::vector<MemberHeader> members;
    ExtractResult walk = listMembers(source, members);
    std::printf("%10s %10s %6s %4s %8s %5s  %s\n", "Packed", "Size", "Method", "Ver", "CRC32", "Solid",
                "Name");
    for (const MemberHeader& m : members)
        std::printf("%10" PRIu32 " %10" PRIu32 " %6s %4u %08" PRIX32 " %5s  %s%s\n", m.packSize, m.unpSize,
                    m.method == methodStored ? "stored"
                                             : ("m" + std::to_string(m.method - methodStored)).c_str(),
                    m.unpVer, m.fileCrc, m.solidContinuation ? "yes" : "no", m.name.c_str(),
                    isDirectory(m) ? "\\" : "");
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    return exitOk;
}

int test(const std::string& archive, FileArchiveSource& source) {
    int members = 0, failures = 0;
    ExtractResult walk = extractAll(
        source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t>) {
            ++members;
            if (result != ExtractResult::ok) {
                ++failures;
                fail(archive, header.name, describe(result));
            }
        });
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    std::printf("%s: %d members, %d failed\n", archive.c_str(), members, failures);
    return failures == 0 ? exitOk : exitDataError;
}

bool writeFile(const fs::path& path, std::span<const std::uint8_t> bytes, std::string& reason) {
    std::error_code ec;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        reason = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

int extract(const std::string& archive, FileArchiveSource& source, const std::vector<std::string>& wanted,
            const fs::path& folder) {
    std::vector<bool> found(wanted.size(), false);
    int failures = 0;
    auto isWanted = [&](const MemberHeader& header) {
        bool any = wanted.empty();
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (memberNameMatches(wanted[i], header.name))
                any = found[i] = true;
        return any;
    };
    ExtractResult walk = extractAll(source, [&](const MemberHeader& header, ExtractResult result,
                                                std::span<const std::uint8_t> bytes) {
        if (!isWanted(header))
            return;
        std::string reason;
        std::optional<fs::path> relative = outputPathFor(header.name, reason);
        if (!relative) {
            ++failures;
            fail(archive, header.name,
                 "refused, " + reason + ": it would be written outside " + folder.string());
            return;
        }
        if (result != ExtractResult::ok) {
            ++failures;
            fail(archive, header.name, describe(result));
            return;
        }
        fs::path path = folder / *relative;
        std::error_code ec;
        bool written = isDirectory(header) ? (fs::create_directories(path, ec), fs::is_directory(path, ec))
                                           : writeFile(path, bytes, reason);
        if (!written) {
            ++failures;
            fail(archive, header.name, reason.empty() ? "cannot create folder " + path.string() : reason);
        }
    });
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!found[i] && walk == ExtractResult::ok) {
            ++failures;
            fail(archive, wanted[i], describe(ExtractResult::notFound));
        }
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    return failures == 0 ? exitOk : exitDataError;
}

int print(const std::string& archive, FileArchiveSource& source, const std::string& member) {
    std::vector<std::uint8_t> bytes;
    ExtractResult result = extractMember(member, source, bytes);
    if (result != ExtractResult::ok) {
        fail(archive, member, describe(result));
        return exitDataError;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        fail(archive, member, "cannot write to standard output");
        return exitDataError;
    }
    return exitOk;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        reason = fs::exists(path, ec) ? "not a file" : "no such file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        reason = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    return true;
}

int add(const std::string& archive, const std::vector<std::string>& operands, const PackOptions& options) {
    ArchivePacker packer(options);
    std::vector<std::string> names;
    for (const std::string& operand : operands) {
        // NAME=PATH stores the file at PATH under NAME; the first '=' splits them.
        const std::size_t equals = operand.find('=');
        const std::string file = equals == std::string::npos ? operand : operand.substr(equals + 1);
        std::string reason;
        std::optional<std::string> name = memberNameFor(operand.substr(0, equals), reason);
        if (!name) {
            fail(archive, operand, reason);
            return exitDataError;
        }
        for (const std::string& earlier : names)
            if (memberNameMatches(earlier, *name)) {
                fail(archive, *name, "given twice");
                return exitDataError;
            }
        std::vector<std::uint8_t> bytes;
        if (!readFile(file, bytes, reason)) {
            fail(archive, file, reason);
            return exitDataError;
        }
        if (!packer.add(*name, bytes)) {
            fail(archive, *name, "too large for a RAR 2.x member");
            return exitDataError;
        }
        names.push_back(*name);
    }
    if (!packer.finish().save(archive)) {
        fail(archive, "", std::string("cannot write the archive: ") + std::strerror(errno));
        return exitDataError;
    }
    return exitOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string_view command = argv[1];
    const std::string archive = argv[2];

    std::vector<std::string> operands;
    fs::path folder = ".";
    PackOptions packOptions;
    for (int i = 3; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (command == "x" && arg == "-o") {
            if (++i == argc)
                return usage("-o needs a folder");
            folder = argv[i];
        } else if (command == "a" && arg == "-mm") {
            packOptions.multimedia = true;
        } else if (command == "a" && arg == "-s") {
            packOptions.solid = true;
        } else if (command == "a" && arg.size() == 3 && arg.starts_with("-m") && arg[2] >= '0' &&
                   arg[2] <= '5') {
            packOptions.level = arg[2] - '0';
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return usage(("unknown option " + std::string(arg)).c_str());
        } else {
            operands.emplace_back(arg);
        }
    }

    if (command == "a") {
        if (operands.empty())
            return usage("sdd a needs at least one file");
        return add(archive, operands, packOptions);
    }
    if (command != "l" && command != "t" && command != "x" && command != "p")
        return usage(("unknown command " + std::string(command)).c_str());
    if ((command == "l" || command == "t") && !operands.empty())
        return usage(("sdd " + std::string(command) + " takes only the archive").c_str());
    if (command == "p" && operands.size() != 1)
        return usage("sdd p needs exactly one member");

    FileArchiveSource source(archive);
    if (!source.isOpen()) {
        fail(archive, "", std::string("cannot open: ") + std::strerror(errno));
        return exitDataError;
    }
    if (command == "l")
        return list(archive, source);
    if (command == "t")
        return test(archive, source);
    if (command == "x")
        return extract(archive, source, operands, folder);
    return print(archive, source, operands[0]);
}
