#pragma once

#include <chrono>
#include <string>

// An exclusive advisory lock on a folder, held while the object lives. Processes that change a file in the
// folder by writing a new one beside it and renaming it over the old one cannot lock the file itself (each
// rename makes a new file); they lock its folder instead, so that each reads what the one before wrote.
class FolderLock {
public:
    // Waits up to `patience` for the lock, so that a lock some other program never lets go of costs a message
    // rather than a hang. A file system that keeps no locks on folders (network file systems refuse them)
    // does not stop the caller: it goes on unguarded, as every program did before the lock. On failure
    // `error` says why and what to do, and ok() is false.
    FolderLock(const std::string& folder, std::string& error,
               std::chrono::milliseconds patience = std::chrono::seconds(10));
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Whether the caller may change the folder's file: the lock is held, or the file system keeps none.
    bool ok() const { return ok_; }

private:
    int fd_ = -1;
    bool ok_ = false;
};
