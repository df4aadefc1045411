#pragma once

#include <functional>
#include <optional>
#include <string>

// Keeps two `sdd a` runs on one archive from overlapping: each reads the archive, packs and renames the new
// one into place, so the one that renames last would lose the other's members. The lock is held on the
// archive file itself; since `a` replaces the file, a run that got the lock on a file that is no longer at
// the path (another run replaced it meanwhile) locks the new one instead. An archive that is not there yet
// is locked through its folder until it is made, which a folder's lock cannot outlive by a rename.
class ArchiveLock {
public:
    // Locks `archive`, waiting for another run that holds it; `waiting` is called once before the wait.
    // Empty, with the reason, when the lock cannot be taken.
    static std::optional<ArchiveLock> acquire(const std::string& archive,
                                              const std::function<void()>& waiting, std::string& reason);

    ArchiveLock(ArchiveLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    ArchiveLock& operator=(ArchiveLock&&) = delete;
    ~ArchiveLock();

private:
    explicit ArchiveLock(int fd) : fd_(fd) {}
    int fd_;
};
