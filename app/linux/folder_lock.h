#pragma once

#include <string>

// An exclusive advisory lock on a folder, held while the object lives. Processes that change a file in the
// folder by writing a new one beside it and renaming it over the old one cannot lock the file itself (each
// rename makes a new file); they lock its folder instead, so that each reads what the one before wrote.
class FolderLock {
public:
    // Waits for the lock. On failure `error` says why and the lock is not held (held() is false).
    FolderLock(const std::string& folder, std::string& error);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
