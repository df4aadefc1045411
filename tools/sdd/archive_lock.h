#pragma once

#include <functional>
#include <optional>
#include <string>

// Keeps two `sdd a` runs on one archive from overlapping: each reads the archive, packs and renames the new
// one into place, so the one that renames last would lose the other's members. The lock is held on the
// archive file itself; since `a` replaces the file, a run that got the lock on a file that is no longer at
// the path (another run replaced it meanwhile) locks the new one instead. An archive that is not there yet
// has no file to lock, so a run that makes one locks an empty file beside it, .NAME.sdd-lock, and removes
// it when done, while still holding it: a run that waited on it then finds it gone and looks again. So runs
// on other archives in the same folder never wait for one another.
class ArchiveLock {
public:
    // Locks `archive`, waiting for another run that holds it; `waiting` is called once before the wait.
    // Empty, with the reason, when the lock cannot be taken, and for an archive that is no regular file: a
    // named pipe, say, would wait for a writer for ever.
    static std::optional<ArchiveLock> acquire(const std::string& archive,
                                              const std::function<void()>& waiting, std::string& reason);

    ArchiveLock(ArchiveLock&& other) noexcept;
    ArchiveLock& operator=(ArchiveLock&&) = delete;
    ~ArchiveLock(); // removes the lock file of a new archive, then lets go

    // The file that stands for an archive that is not there yet.
    static std::string lockFileFor(const std::string& archive);

private:
    ArchiveLock(int fd, std::string lockFile) : fd_(fd), lockFile_(std::move(lockFile)) {}
    int fd_;
    std::string lockFile_; // empty: the archive itself is locked
};
