// The Linux package as `cmake --install` lays it out, staged under DESTDIR: the program, the show, the
// XScreenSaver hack and settings description, the desktop entry, the archive tool and the manuals, each where
// its reader looks, and each telling the truth about the program's options.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct CommandResult {
    int status = -1;
    std::string output; // standard output and standard error together
};

CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool onPath(const std::string& program) {
    return run("command -v " + program).status == 0;
}

bool isWithin(const fs::path& file, const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), file.begin(), file.end()).first == folder.end();
}

bool isMachineCode(const fs::path& file) {
    return readText(file).rfind("\x7f"
                                "ELF",
                                0) == 0;
}

class Installation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stage = fs::temp_directory_path() / ("heliox-install-" + std::to_string(getpid()));
        fs::remove_all(stage);
        installed = run("DESTDIR=" + quoted(stage) + " " + CMAKE_PATH + " --install " + quoted(BUILD_DIR));
    }
    static void TearDownTestSuite() { fs::remove_all(stage); }

    void SetUp() override { ASSERT_EQ(installed.status, 0) << installed.output; }

    // Where a file meant for `installedPath` on the target system lies in the staging folder.
    static fs::path staged(const std::string& installedPath) {
        return stage / fs::path(installedPath).relative_path();
    }

    // Every option `heliox --help` lists, as "--name" or "-x".
    static std::set<std::string> helpOptions() {
        const CommandResult help = run(quoted(staged(INSTALLED_PROGRAM)) + " --help");
        EXPECT_EQ(help.status, 0) << help.output;
        std::set<std::string> options;
        const std::regex option(R"((?:^|[\s,\[|])(--?[a-z][a-z0-9-]*))");
        for (std::sregex_iterator it(help.output.begin(), help.output.end(), option), end; it != end; ++it)
            options.insert((*it)[1]);
        return options;
    }

    // What every installed manual needs: its title, no placeholder left by the build, groff's silence.
    static std::string checkedManual(const std::string& installedPath, const std::string& title) {
        const std::string manual = readText(staged(installedPath));
        EXPECT_EQ(manual.rfind(".TH " + title + " ", 0), 0u) << installedPath;
        EXPECT_EQ(manual.find('@'), std::string::npos)
            << installedPath << ": a placeholder was left unfilled";
        if (onPath("groff")) {
            const CommandResult format = run("groff -man -ww -z " + quoted(staged(installedPath)));
            EXPECT_EQ(format.status, 0);
            EXPECT_EQ(format.output, "") << "groff warns about " << installedPath;
        }
        return manual;
    }

    static inline fs::path stage;
    static inline CommandResult installed;
};

} // namespace

TEST_F(Installation, PutsEveryFileWhereItsReaderLooks) {
    for (const char* path : {INSTALLED_PROGRAM, INSTALLED_TOOL, INSTALLED_DATA, INSTALLED_CONFIG,
                             INSTALLED_DESKTOP, INSTALLED_MANUAL, INSTALLED_TOOL_MANUAL}) {
        EXPECT_TRUE(fs::is_regular_file(staged(path))) << path << " is not installed";
        EXPECT_GT(fs::file_size(staged(path)), 0u) << path;
    }
    EXPECT_EQ(access(staged(INSTALLED_PROGRAM).c_str(), X_OK), 0) << "the program is not executable";
    EXPECT_EQ(access(staged(INSTALLED_TOOL).c_str(), X_OK), 0) << "the archive tool is not executable";
    EXPECT_EQ(readText(staged(INSTALLED_DATA)), readText(fs::path(BUILD_DIR) / "data.sdd"))
        << "the installed show differs from the one the build made";

    // XScreenSaver starts hacks from its own folder: there the program is a relative link, which still
    // points at the program once the staged tree is moved into place.
    const fs::path hack = staged(INSTALLED_HACK);
    ASSERT_TRUE(fs::is_symlink(hack)) << INSTALLED_HACK;
    EXPECT_TRUE(fs::read_symlink(hack).is_relative());
    EXPECT_EQ(fs::canonical(hack), fs::canonical(staged(INSTALLED_PROGRAM)));
}

// The Debian packages share the installed files out by the folders under /usr in debian/PACKAGE.install: each
// file goes to exactly one package, each folder there takes some file, and heliox-data, built once for every
// architecture, holds no machine code.
TEST_F(Installation, EveryFileGoesToExactlyOneDebianPackage) {
    std::map<std::string, std::vector<fs::path>> folders;
    for (const std::string package : {"heliox", "heliox-data"}) {
        std::istringstream list(readText(fs::path(HELIOX_SOURCE_DIR) / "debian" / (package + ".install")));
        for (std::string line; std::getline(list, line);) {
            ASSERT_EQ(line.rfind("usr/", 0), 0u) << package << ".install: " << line;
            folders[package].push_back(fs::path(line).lexically_relative("usr"));
        }
    }
    const fs::path prefix = staged(INSTALL_PREFIX);
    std::map<fs::path, int> filesTaken;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix)) {
        if (entry.is_directory() && !entry.is_symlink())
            continue;
        const fs::path file = entry.path().lexically_relative(prefix);
        std::vector<std::string> packages;
        for (const auto& [package, packageFolders] : folders)
            for (const fs::path& folder : packageFolders)
                if (isWithin(file, folder)) {
                    packages.push_back(package);
                    ++filesTaken[folder];
                }
        EXPECT_EQ(packages.size(), 1u) << file << " goes to " << packages.size() << " packages";
        if (packages == std::vector<std::string>{"heliox-data"}) {
            EXPECT_FALSE(isMachineCode(entry.path())) << file << " is machine code in heliox-data";
        }
    }
    for (const auto& [package, packageFolders] : folders)
        for (const fs::path& folder : packageFolders)
            EXPECT_GT(filesTaken[folder], 0)
                << package << ".install: usr/" << folder.string() << " takes no file";
}

TEST_F(Installation, TheInstalledProgramLooksForTheInstalledShow) {
    if (fs::exists(INSTALLED_DATA))
        GTEST_SKIP() << INSTALLED_DATA << " is installed on this machine for real, so it would be found";
    const fs::path frames = stage / "frames";
    const CommandResult render =
        run(quoted(staged(INSTALLED_PROGRAM)) + " --render " + quoted(frames) + " --frames 1 --size 64x48");
    EXPECT_NE(render.status, 0);
    EXPECT_NE(render.output.find(std::string(INSTALLED_DATA) + ":"), std::string::npos)
        << "the program should name the show's installed place, " << INSTALLED_DATA << ":\n"
        << render.output;
}

TEST_F(Installation, TheXScreenSaverDescriptionOffersOnlyRealOptions) {
    const fs::path config = staged(INSTALLED_CONFIG);
    if (onPath("xmllint")) {
        const CommandResult lint = run("xmllint --noout " + quoted(config));
        EXPECT_EQ(lint.status, 0) << lint.output;
    }
    const std::string xml = readText(config);
    EXPECT_NE(xml.find(R"(<screensaver name="heliox")"), std::string::npos);
    EXPECT_NE(xml.find(R"(gl="yes")"), std::string::npos) << "XScreenSaver must give the hack a GL visual";
    // xscreensaver-settings writes the hack's command line from this page: without --root the hack would
    // open a window of its own rather than draw into the daemon's.
    EXPECT_NE(xml.find(R"(<command arg="--root"/>)"), std::string::npos);

    const std::set<std::string> options = helpOptions();
    const std::regex argument(R"re(arg(?:-set|-unset)?="(--?[a-z][a-z0-9-]*))re");
    std::set<std::string> offered;
    for (std::sregex_iterator it(xml.begin(), xml.end(), argument), end; it != end; ++it)
        offered.insert((*it)[1]);
    for (const char* expected :
         {"--root", "--speed", "--volume", "--max-fps", "--fps", "--no-clock", "--time-format", "--music"})
        EXPECT_TRUE(offered.count(expected)) << expected << " is not offered in the settings";
    for (const std::string& option : offered)
        EXPECT_TRUE(options.count(option)) << option << " is in the settings but heliox does not take it";
}

TEST_F(Installation, TheManualDescribesEveryOptionAndFormatsCleanly) {
    const std::string manual = checkedManual(INSTALLED_MANUAL, "HELIOX 6");
    for (const std::string& option : helpOptions()) {
        // roff writes every dash of an option as "\-".
        const std::string written = std::regex_replace(option, std::regex("-"), "\\-");
        EXPECT_NE(manual.find(written), std::string::npos) << option << " is missing from the manual";
    }
    EXPECT_NE(manual.find(INSTALLED_DATA), std::string::npos);
    EXPECT_NE(manual.find("heliox.conf"), std::string::npos);
}

// The shared program folder holds our programs under our own names only: a generic "sdd" (or a build helper)
// there could clash with another package's file. The archive tool's manual names the command users type.
TEST_F(Installation, InstallsOnlyProgramsNamedForHeliox) {
    std::set<std::string> programs;
    for (const fs::directory_entry& entry : fs::directory_iterator(staged(INSTALLED_BINDIR)))
        programs.insert(entry.path().filename().string());
    EXPECT_EQ(programs, (std::set<std::string>{fs::path(INSTALLED_PROGRAM).filename().string(),
                                               fs::path(INSTALLED_TOOL).filename().string()}));

    const CommandResult version = run(quoted(staged(INSTALLED_TOOL)) + " --version");
    EXPECT_EQ(version.status, 0) << version.output;

    const std::string manual = checkedManual(INSTALLED_TOOL_MANUAL, "HELIOX-SDD 1");
    EXPECT_NE(manual.find("\n.SH NAME\nheliox\\-sdd \\- "), std::string::npos)
        << "man -k would not find heliox-sdd";
    // "sdd" standing alone is the build's name for the tool, which no installed command answers to.
    std::smatch bare;
    EXPECT_FALSE(std::regex_search(manual, bare, std::regex(R"((^|[\s(])sdd\b)")))
        << "the manual names a bare sdd: " << bare.str() << bare.suffix().str().substr(0, 60);
}

TEST_F(Installation, TheDesktopEntryStartsTheInstalledHack) {
    std::istringstream entry(readText(staged(INSTALLED_DESKTOP)));
    std::string line;
    std::getline(entry, line);
    EXPECT_EQ(line, "[Desktop Entry]");
    std::set<std::string> keys;
    std::string exec, tryExec, categories;
    while (std::getline(entry, line)) {
        const std::size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << "not a key=value line: " << line;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        EXPECT_TRUE(keys.insert(key).second) << key << " twice";
        if (key == "Exec")
            exec = value;
        else if (key == "TryExec")
            tryExec = value;
        else if (key == "Categories")
            categories = value;
    }
    EXPECT_TRUE(keys.count("Name") && keys.count("Type"));
    EXPECT_EQ(tryExec, INSTALLED_HACK);
    EXPECT_EQ(exec, std::string(INSTALLED_HACK) + " --root");
    EXPECT_NE(categories.find("Screensaver;"), std::string::npos);
    EXPECT_TRUE(fs::exists(staged(tryExec)));
    if (onPath("desktop-file-validate")) {
        // Screensaver is the only category on purpose: with a main one, menus would offer the hack as an
        // application. The validator's hint about that is left out; its errors and warnings are not.
        const CommandResult validate =
            run("desktop-file-validate --no-hints " + quoted(staged(INSTALLED_DESKTOP)));
        EXPECT_EQ(validate.status, 0) << validate.output;
        EXPECT_EQ(validate.output, "") << validate.output;
    }
}
