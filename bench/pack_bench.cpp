// The packer side by side with gzip -9 and xz -9 on files like the show's, multimedia mode against plain
// LZ, packing speed per level beside gzip -9 and xz, and unpacking speed of our reader against unar, in wall
// and processor time. Prints ratios; run it from a Release build:  pack_bench [SOURCE_FOLDER]
// bench/compare_archivers.sh measures the sdd program itself the same way on ordinary trees, with peak
// memory.
#include "bench/show_corpus.h"
#include "data/archive_reader.h"
#include "tools/sdd/archive_packer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::size_t totalSize(const std::vector<CorpusFile>& files) {
    std::size_t total = 0;
    for (const CorpusFile& file : files)
        total += file.bytes.size();
    return total;
}

// The sum of the members' packed sizes: what the data costs, without the headers.
std::size_t packedSize(const std::vector<CorpusFile>& files, const PackOptions& options) {
    ArchivePacker packer(options);
    for (const CorpusFile& file : files)
        packer.add(file.name, file.bytes);
    MemoryArchiveSource source(packer.finish().bytes());
    std::vector<MemberHeader> members;
    listMembers(source, members);
    std::size_t total = 0;
    for (const MemberHeader& member : members)
        total += member.packSize;
    return total;
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// How many bytes `command` writes to standard output.
std::size_t outputSize(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return 0;
    char buffer[65536];
    std::size_t total = 0;
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        total += n;
    pclose(pipe);
    return total;
}

// Each file compressed on its own by an external compressor, like the members of a non-solid archive.
std::size_t externalSize(const std::vector<CorpusFile>& files, const std::string& compressor,
                         const fs::path& scratch) {
    std::size_t total = 0;
    for (const CorpusFile& file : files) {
        const fs::path path = scratch / "input";
        writeFile(path, file.bytes);
        total += outputSize(compressor + " -9 -c '" + path.string() + "'");
    }
    return total;
}

void compareRatios(const std::vector<CorpusClass>& classes, const fs::path& scratch) {
    std::printf(
        "\nPacked size per class (each file on its own), and sdd -m5 [-mm] against gzip -9 and xz -9:\n");
    std::printf("%-10s %10s %10s %10s %10s %10s %9s %9s\n", "class", "bytes", "sdd -m5", "sdd -mm", "gzip -9",
                "xz -9", "sdd/gzip", "sdd/xz");
    for (const CorpusClass& corpus : classes) {
        const std::size_t plain = packedSize(corpus.files, {5, false, false});
        const std::size_t multimedia = packedSize(corpus.files, {5, false, true});
        const std::size_t gzip = externalSize(corpus.files, "gzip", scratch);
        const std::size_t xz = externalSize(corpus.files, "xz", scratch);
        const std::size_t best = std::min(plain, multimedia);
        std::printf("%-10s %10zu %10zu %10zu %10zu %10zu %9.3f %9.3f\n", corpus.name.c_str(),
                    totalSize(corpus.files), plain, multimedia, gzip, xz, static_cast<double>(best) / gzip,
                    static_cast<double>(best) / xz);
    }
}

void compareMultimedia(const std::vector<CorpusClass>& classes) {
    std::printf("\nMultimedia mode against plain LZ (sdd -m5):\n");
    for (const CorpusClass& corpus : classes) {
        if (corpus.name != "wav" && corpus.name != "grey")
            continue;
        const std::size_t plain = packedSize(corpus.files, {5, false, false});
        const std::size_t multimedia = packedSize(corpus.files, {5, false, true});
        std::printf("%-10s LZ %10zu  multimedia %10zu  multimedia/LZ %.3f (%.1f %% smaller)\n",
                    corpus.name.c_str(), plain, multimedia, static_cast<double>(multimedia) / plain,
                    100.0 * (1.0 - static_cast<double>(multimedia) / plain));
    }
}

// Processor seconds this process has used so far, on all its threads.
double processorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Processor seconds the finished child processes have used so far, user and system.
double childProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double seconds = 1e9;
    double processor = 1e9;
};

// What `command` takes to run: the best of three in wall and in processor time, as the machine's other work
// only ever adds time.
Timing timingOf(const std::string& command) {
    Timing best;
    for (int run = 0; run < 3; ++run) {
        const Clock::time_point start = Clock::now();
        const double processorStart = childProcessorSeconds();
        if (std::system(command.c_str()) != 0)
            std::printf("failed: %s\n", command.c_str());
        best.seconds = std::min(best.seconds, secondsSince(start));
        best.processor = std::min(best.processor, childProcessorSeconds() - processorStart);
    }
    return best;
}

// Packing speed per level, beside the targets: -m3, the default, no slower than gzip -9 and -m5 no slower
// than xz -9 in processor time, each over the same files as one tar stream made beforehand, timed in the
// same run, best of three. The packer packs the members of a non-solid archive on every processor, so
// processor time, not wall time, is what it costs.
void measurePackingSpeed(const std::vector<CorpusFile>& all, const fs::path& scratch) {
    const fs::path folder = scratch / "corpus";
    fs::create_directories(folder);
    for (const CorpusFile& file : all)
        writeFile(folder / file.name, file.bytes);
    const std::string tarFile = (scratch / "corpus.tar").string();
    if (std::system(("tar -C '" + scratch.string() + "' -cf '" + tarFile + "' corpus").c_str()) != 0)
        std::printf("tar failed\n");
    const double megabytes = static_cast<double>(totalSize(all)) / 1e6;
    std::printf("\nPacking all %.1f MB as one archive (sdd) or one tar stream, best of 3:\n", megabytes);
    std::map<std::string, Timing> external;
    for (const char* compressor : {"gzip -9", "xz -6", "xz -9"}) {
        const Timing timing = timingOf(std::string(compressor) + " -c '" + tarFile + "' > /dev/null");
        external[compressor] = timing;
        std::printf("%-13s %7.2f MB/s  %6.2f s (processor %5.2f s)  ratio %.3f\n", compressor,
                    megabytes / timing.seconds, timing.seconds, timing.processor,
                    static_cast<double>(outputSize(std::string(compressor) + " -c '" + tarFile + "'")) /
                        (megabytes * 1e6));
    }
    for (int level = 1; level <= 5; ++level)
        for (bool solidMultimedia : {false, true}) {
            Timing best;
            std::size_t packed = 0;
            for (int run = 0; run < 3; ++run) {
                const Clock::time_point start = Clock::now();
                const double processorStart = processorSeconds();
                packed = packedSize(all, {level, solidMultimedia, solidMultimedia});
                best.seconds = std::min(best.seconds, secondsSince(start));
                best.processor = std::min(best.processor, processorSeconds() - processorStart);
            }
            std::printf("sdd -m%d%-7s %7.2f MB/s  %6.2f s (processor %5.2f s)  ratio %.3f", level,
                        solidMultimedia ? " -s -mm" : "", megabytes / best.seconds, best.seconds,
                        best.processor, static_cast<double>(packed) / (megabytes * 1e6));
            const auto target = [&](const char* compressor) {
                std::printf("   target: processor time no more than %s's: %s", compressor,
                            best.processor <= external[compressor].processor ? "met" : "MISSED");
            };
            if (level == 3 && !solidMultimedia)
                target("gzip -9");
            if (level == 5 && !solidMultimedia)
                target("xz -9");
            std::printf("\n");
        }
}

// The corpus files repeated in turn until `size` bytes, each copy slightly changed so later copies are
// not plain repeats of earlier ones.
std::vector<std::uint8_t> largeMember(const std::vector<CorpusFile>& files, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t round = 0; bytes.size() < size; ++round)
        for (const CorpusFile& file : files) {
            for (std::size_t i = 0; i < file.bytes.size() && bytes.size() < size; ++i)
                bytes.push_back(i % 61 == round % 61 ? static_cast<std::uint8_t>(file.bytes[i] ^ 0x20)
                                                     : file.bytes[i]);
        }
    return bytes;
}

void compareUnpacking(const std::vector<CorpusClass>& classes, const fs::path& scratch) {
    constexpr std::size_t memberSize = 12u << 20;
    std::vector<CorpusFile> members;
    for (const CorpusClass& corpus : classes)
        if (corpus.name == "text" || corpus.name == "wav" || corpus.name == "meshes")
            members.push_back({corpus.name + ".big", largeMember(corpus.files, memberSize)});
    ArchivePacker packer({5, false, true});
    for (const CorpusFile& member : members)
        packer.add(member.name, member.bytes);
    const fs::path archive = scratch / "big.sdd";
    packer.finish().save(archive.string());
    const double megabytes = static_cast<double>(totalSize(members)) / 1e6;

    // Best of three, from the file each time, as the saver and unar both read it.
    Timing ours;
    for (int run = 0; run < 3; ++run) {
        const Clock::time_point start = Clock::now();
        const double processorStart = processorSeconds();
        FileArchiveSource source(archive.string());
        std::size_t extracted = 0;
        extractAll(source,
                   [&](const MemberHeader&, ExtractResult result, std::span<const std::uint8_t> bytes) {
                       extracted += result == ExtractResult::ok ? bytes.size() : 0;
                   });
        ours.seconds = std::min(ours.seconds, secondsSince(start));
        ours.processor = std::min(ours.processor, processorSeconds() - processorStart);
        if (extracted != totalSize(members))
            std::printf("our reader failed on the archive\n");
    }
    // -f: each run writes over the files of the one before.
    const Timing unar =
        timingOf("unar -q -f -o '" + (scratch / "unar").string() + "' '" + archive.string() + "'");
    fs::remove_all(scratch / "unar");
    std::printf(
        "\nUnpacking %.1f MB (members of %zu MiB: text, sound, meshes), best of 3; our reader keeps the\n"
        "bytes in memory, unar writes them to files:\n",
        megabytes, memberSize >> 20);
    std::printf("our reader %7.1f MB/s (processor %5.2f s)   unar %7.1f MB/s (processor %5.2f s)   "
                "processor ours/unar %.2f\n",
                megabytes / ours.seconds, ours.processor, megabytes / unar.seconds, unar.processor,
                ours.processor / unar.processor);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path sources = argc > 1 ? fs::path(argv[1]) : fs::path(HELIOX_SOURCE_DIR);
    std::string pattern = (fs::temp_directory_path() / "heliox-pack-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path scratch = pattern;

    const std::vector<CorpusClass> classes = {{"meshes", meshFiles()}, {"scripts", scriptFiles()},
                                              {"tga", tgaFiles()},     {"wav", {pcmSound(8.0)}},
                                              {"grey", greyImages()},  {"text", textCorpus(sources)}};
    std::vector<CorpusFile> all;
    for (const CorpusClass& corpus : classes)
        all.insert(all.end(), corpus.files.begin(), corpus.files.end());

    compareRatios(classes, scratch);
    compareMultimedia(classes);
    measurePackingSpeed(all, scratch);
    compareUnpacking(classes, scratch);
    fs::remove_all(scratch);
    return 0;
}
