#include "tests/data/unrar/reference_unpacker.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace {

struct CommandResult {
    int exitStatus = -1;
    std::string output; // standard output and standard error
};

CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, count);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shellQuoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every regular file under `folder`, by its path relative to it.
void collectFiles(const std::filesystem::path& folder, ReferenceExtraction& extraction) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            extraction.members[entry.path().lexically_relative(folder).generic_string()] =
                readFile(entry.path());
    }
}

} // namespace

ReferenceExtraction extractWithNodeUnrar(const std::filesystem::path& archive,
                                         const std::filesystem::path& folder) {
    ReferenceExtraction extraction;
    const std::string node = trimmed(run("command -v node").output);
    const std::filesystem::path tools = std::filesystem::path(HELIOX_SOURCE_DIR) / "tests" / "tools";
    if (node.empty()) {
        extraction.error = "Node.js (node) is not on the PATH: run scripts/install-deps";
        return extraction;
    }
    if (!std::filesystem::exists(tools / "node_modules" / "node-unrar-js")) {
        extraction.error = "node-unrar-js is missing from tests/tools/node_modules: run scripts/install-deps";
        return extraction;
    }
    std::filesystem::create_directories(folder);
    const CommandResult result = run(shellQuoted(node) + " " + shellQuoted(tools / "unrar-extract.js") + " " +
                                     shellQuoted(archive) + " " + shellQuoted(folder));
    if (result.exitStatus != 0) {
        extraction.error = "node-unrar-js failed: " + trimmed(result.output);
        return extraction;
    }
    collectFiles(folder, extraction);
    return extraction;
}

ReferenceExtraction extractWithUnar(const std::filesystem::path& archive,
                                    const std::filesystem::path& folder) {
    ReferenceExtraction extraction;
    const std::string unar = trimmed(run("command -v unar").output);
    if (unar.empty()) {
        extraction.error = "unar is not on the PATH: run scripts/install-deps";
        return extraction;
    }
    std::filesystem::create_directories(folder);
    const CommandResult result =
        run(shellQuoted(unar) + " -q -f -D -o " + shellQuoted(folder) + " " + shellQuoted(archive));
    if (result.exitStatus != 0) {
        extraction.error = "unar failed: " + trimmed(result.output);
        return extraction;
    }
    collectFiles(folder, extraction);
    return extraction;
}
