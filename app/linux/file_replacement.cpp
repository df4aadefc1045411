#include "app/linux/file_replacement.h"

#include "base/pending_file.h"
#include "base/printable_text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <span>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The system gives up after 40 links in a row (a loop among links never ends otherwise); so does this.
constexpr int mostLinksFollowed = 40;

} // namespace

std::string followSymbolicLinks(const std::string& path) {
    fs::path current = path;
    std::error_code ec;
    for (int i = 0; i < mostLinksFollowed && fs::is_symlink(fs::symlink_status(current, ec)); ++i) {
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool replaceFileText(const std::string& path, const std::string& text, std::string& error) {
    const std::string shown = printableText(path);
    mode_t mode = 0644;
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) {
        // Only the mode says "keep it as it is". A file the user merely cannot write (one left owned by root
        // by a run under sudo) is still replaced, since the rename needs only the folder, and becomes theirs.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            error =
                shown + " is read-only; " +
                (old.st_uid == geteuid() ? "make it writable (chmod u+w) to change it"
                                         : "it belongs to another user: remove it, or ask them to change it");
            return false;
        }
        mode = old.st_mode & 07777;
    }
    std::string reason;
    std::optional<PendingFile> file = PendingFile::create(path, mode, reason);
    if (!file) {
        error = "cannot create a temporary file beside " + shown + ": " + std::strerror(errno);
        return false;
    }
    const std::string temporary = printableText(file->temporaryPath());
    file->write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    int failure = 0;
    if (file->commit(PendingFile::Replace::yes, true, reason, failure))
        return true;
    switch (file->failedStep()) {
    case PendingFile::Step::write:
        error = "cannot write " + temporary + ": " + std::strerror(failure);
        break;
    case PendingFile::Step::rename:
        error = "cannot replace " + shown + ": " + std::strerror(failure);
        break;
    default:
        error = "cannot finish " + temporary + ": " + std::strerror(failure);
        break;
    }
    return false;
}
