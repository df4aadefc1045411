// Files written whole: every byte reaches the file, and nothing is under the target's name until it is whole.
#include "base/pending_file.h"
#include "base/umasked_mode.h"
#include "base/whole_write.h"
#include "tests/temporary_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

extern "C" void interrupted(int) {}

// A pipe holds far less than is written, and the writer is interrupted by signals while it waits for room:
// each interrupted write has taken only part, and the rest must follow it, in order, once.
TEST(WholeWrite, EveryByteArrivesOnceInOrderThroughInterruptedPartialWrites) {
    struct sigaction action {};
    action.sa_handler = interrupted; // no SA_RESTART: a waiting write returns what it wrote so far
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::vector<std::uint8_t> sent = counting(4 << 20);
    const pthread_t writer = pthread_self();
    std::vector<std::uint8_t> received;
    std::thread reader([&] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            pthread_kill(writer, SIGUSR1);
        }
        std::uint8_t buffer[65536];
        for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) != 0;)
            if (n > 0)
                received.insert(received.end(), buffer, buffer + n);
    });
    EXPECT_EQ(writeWhole(ends[1], sent), 0);
    close(ends[1]);
    reader.join();
    close(ends[0]);
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_TRUE(received == sent) << "received " << received.size() << " of " << sent.size() << " bytes";

    // A descriptor that takes nothing is an error, never a success.
    EXPECT_EQ(writeWhole(-1, sent), EBADF);
}

// Every temporary file made through a program's own hooks is forgotten again, whatever became of it: the
// archive tool keeps only a few at a time, to remove them when it is interrupted.
std::map<std::string, int> madeAndNotForgotten;
int madeHere(std::string& name) {
    const int fd = plainTemporaries.create(name);
    if (fd >= 0)
        ++madeAndNotForgotten[name];
    return fd;
}
void forgottenHere(const std::string& name) {
    if (--madeAndNotForgotten[name] == 0)
        madeAndNotForgotten.erase(name);
}
const TemporaryFiles countedTemporaries{plainTemporaries.nameFor, madeHere, forgottenHere};

TEST(PendingFile, NothingIsUnderTheTargetsNameUntilItIsWholeAndNothingIsLeftWhenGivenUp) {
    const fs::path folder = makeTemporaryFolder("heliox-pending-file");
    ASSERT_FALSE(folder.empty());
    const fs::path target = folder / "settings.conf";
    std::ofstream(target) << "old";
    const auto onlyTheTarget = [&] {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path() != target)
                return false;
        return true;
    };
    // In pieces smaller and larger than the buffer, so that both ways to the file are taken.
    const std::vector<std::uint8_t> large = counting(600'000);
    const std::string expected = "new " + std::string(large.begin(), large.end()) + " end";
    const auto writeNew = [&](PendingFile& file) {
        file.write(bytesOf("new "));
        file.write(large);
        file.write(bytesOf(" end"));
    };

    std::string reason;
    int error = 0;
    {
        std::optional<PendingFile> file = PendingFile::create(target, 0640, reason, countedTemporaries);
        ASSERT_TRUE(file) << reason;
        writeNew(*file);
        ASSERT_TRUE(file->flush());
        EXPECT_EQ(readText(file->temporaryPath()), expected);
        EXPECT_EQ(fs::path(file->temporaryPath()).parent_path(), folder);
        EXPECT_EQ(readText(target), "old");
        // Not over a file that is there, unless asked to: the file there stays, the temporary one goes.
        EXPECT_FALSE(file->commit(PendingFile::Replace::no, false, reason, error));
        EXPECT_EQ(error, EEXIST);
        EXPECT_EQ(readText(target), "old");
        EXPECT_TRUE(onlyTheTarget());
    }
    {
        std::optional<PendingFile> file = PendingFile::create(target, 0640, reason, countedTemporaries);
        ASSERT_TRUE(file) << reason;
        writeNew(*file);
        // Given up on: dropped without being put in place.
    }
    EXPECT_EQ(readText(target), "old");
    EXPECT_TRUE(onlyTheTarget());
    {
        std::optional<PendingFile> file = PendingFile::create(target, 0640, reason, countedTemporaries);
        ASSERT_TRUE(file) << reason;
        writeNew(*file);
        ASSERT_TRUE(file->commit(PendingFile::Replace::yes, true, reason, error)) << reason;
    }
    EXPECT_EQ(readText(target), expected);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640)); // as given, not as the umask would have it
    EXPECT_TRUE(onlyTheTarget());
    EXPECT_TRUE(madeAndNotForgotten.empty()) << madeAndNotForgotten.begin()->first;
    fs::remove_all(folder);
}

TEST(UmaskedMode, TakesAwayTheUmasksBitsAndLeavesTheUmaskAsItWas) {
    const mode_t before = umask(027);
    EXPECT_EQ(umaskedMode(0777), 0750u);
    EXPECT_EQ(umaskedMode(0666), 0640u);
    EXPECT_EQ(umask(before), 027u);
}

} // namespace
