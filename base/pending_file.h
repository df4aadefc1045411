#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <sys/types.h>

// How a program names, makes and lets go of the temporary files it writes. The plain way (plainTemporaries)
// names one NAME.XXXXXX beside its target and makes it as mkstemp does; a program that removes its temporary
// files when it is interrupted supplies its own, which registers each one as it is made.
struct TemporaryFiles {
    // The temporary file's name template for `target`: in the target's folder, ending in XXXXXX.
    std::string (*nameFor)(const std::filesystem::path& target);
    // Creates the file (mode 0600) from the template, which gets the name made: its descriptor, or -1 with
    // errno set.
    int (*create)(std::string& name);
    // Called once the file is renamed into place or removed.
    void (*forget)(const std::string& name);
};
extern const TemporaryFiles plainTemporaries;

// A file written under a temporary name beside the one it is to become (same folder, so the rename cannot
// cross file systems) and put under that name only once it is whole: until then nothing changes under the
// target's name, and a file given up on leaves nothing behind.
class PendingFile {
public:
    // Creates the temporary file beside `target`, with permissions `mode`. Empty, with `reason` and errno
    // saying why, when it cannot be made.
    static std::optional<PendingFile> create(const std::filesystem::path& target, mode_t mode,
                                             std::string& reason,
                                             const TemporaryFiles& temporaries = plainTemporaries);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept; // removes this one's temporary file first
    ~PendingFile(); // removes the temporary file unless it was put in place

    // Appends the bytes (through a buffer, so small pieces cost no system call each). After a failure
    // every later write fails too, and commit() says why.
    bool write(std::span<const std::uint8_t> bytes);

    // Writes out what the buffer holds, so that the file can be read back under temporaryPath().
    bool flush();
    const std::string& temporaryPath() const { return temporary_; }

    // For settings made on the open file (its time, say) before it is put in place.
    int descriptor() const { return fd_; }

    // Whether anything failed so far, and if so what, as a message.
    bool good() const { return error_ == 0; }
    std::string failure() const;

    // The step that failed, for a caller that words its own messages.
    enum class Step { none, write, finish, rename };
    Step failedStep() const { return failedStep_; }

    enum class Replace { no, yes };
    // Closes the file (flushed to the disk first when `durable`) and renames it to the target: over a file
    // there only with Replace::yes, else it fails with EEXIST in `error` when something is there. On failure
    // the temporary file is removed, and `reason` and `error` (an errno value) say why.
    bool commit(Replace replace, bool durable, std::string& reason, int& error);

    // Removes the temporary file.
    void discard();

    const std::filesystem::path& target() const { return target_; }

private:
    PendingFile(std::filesystem::path target, std::string temporary, int fd,
                void (*forget)(const std::string&))
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd), forget_(forget) {}

    bool writeOut(std::span<const std::uint8_t> bytes);
    void failed(Step step, int error);

    std::filesystem::path target_;
    std::string temporary_; // empty once put in place or removed
    int fd_ = -1;
    void (*forget_)(const std::string&) = nullptr;
    int error_ = 0;
    Step failedStep_ = Step::none;
    std::vector<std::uint8_t> buffer_;
};
