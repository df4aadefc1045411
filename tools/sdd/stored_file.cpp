#include "tools/sdd/stored_file.h"

#include "data/archive_member.h"
#include "data/crc32.h"
#include "tools/sdd/member_time.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

bool StoredFile::open(const fs::path& path, std::string& reason, bool findCrc) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        reason = fs::exists(path, ec) ? "not a file" : "no such file";
        return false;
    }
    in_.open(path, std::ios::binary);
    const std::uintmax_t fileSize = fs::file_size(path, ec);
    if (!in_.is_open() || ec || fileSize > largestMemberSize) {
        reason = std::string("cannot read: ") + (ec ? ec.message() : std::strerror(errno));
        return false;
    }
    path_ = path;
    if (::stat(path.c_str(), &opened_) != 0) {
        reason = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    size_ = static_cast<std::uint32_t>(fileSize);
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (std::uint32_t done = 0; findCrc && done < size_;) {
        const std::span<std::uint8_t> piece =
            std::span(chunk).first(std::min<std::size_t>(chunk.size(), size_ - done));
        if (!read(piece)) {
            reason = "cannot read: it changed while it was read";
            return false;
        }
        crc_ = crc32(piece, crc_);
        done += static_cast<std::uint32_t>(piece.size());
    }
    time_ = dosTimeOf(opened_.st_mtime);
    attributes_ = MemberAttributes::ofUnixMode(opened_.st_mode);
    if (!rewind()) {
        reason = "cannot read: it changed while it was read";
        return false;
    }
    return true;
}

bool StoredFile::unchanged() const {
    struct stat now {};
    return ::stat(path_.c_str(), &now) == 0 && now.st_size == opened_.st_size &&
           now.st_mtim.tv_sec == opened_.st_mtim.tv_sec && now.st_mtim.tv_nsec == opened_.st_mtim.tv_nsec &&
           now.st_ctim.tv_sec == opened_.st_ctim.tv_sec && now.st_ctim.tv_nsec == opened_.st_ctim.tv_nsec;
}

bool StoredFile::rewind() {
    in_.clear();
    in_.seekg(0);
    return static_cast<bool>(in_);
}

bool StoredFile::read(std::span<std::uint8_t> into) {
    in_.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
    return in_.gcount() == static_cast<std::streamsize>(into.size());
}
