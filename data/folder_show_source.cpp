#include "data/folder_show_source.h"

#include "data/archive_reader.h"

#include <algorithm>
#include <exception>
#include <fstream>

namespace fs = std::filesystem;

FolderShowSource::FolderShowSource(const std::string& path) {
    std::error_code error;
    fs::path root = fs::canonical(path, error);
    if (!error && fs::is_directory(root, error) && !error)
        root_ = std::move(root);
}

ExtractResult FolderShowSource::status() const {
    return root_.empty() ? ExtractResult::notFound : ExtractResult::ok;
}

bool FolderShowSource::insideRoot(const fs::path& path) const {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error)
        return false;
    const fs::path relative = target.lexically_relative(root_);
    return !relative.empty() && *relative.begin() != "..";
}

bool FolderShowSource::walk(std::vector<Entry>& entries) const {
    entries.clear();
    if (root_.empty())
        return false;
    std::error_code error;
    fs::recursive_directory_iterator it(root_, fs::directory_options::skip_permission_denied, error);
    bool whole = !error;
    for (const fs::recursive_directory_iterator end; whole && !error && it != end; it.increment(error)) {
        if (entries.size() == maxEntries) {
            whole = false;
            break;
        }
        const fs::directory_entry& entry = *it;
        std::string name;
        try {
            name = entry.path().lexically_relative(root_).generic_string();
        } catch (const std::exception&) {
            continue; // a name the system cannot give in the program's characters: no script can name it
        }
        std::replace(name.begin(), name.end(), '/', '\\');
        ExtractResult use = ExtractResult::ok;
        std::error_code kindError;
        if (entry.is_symlink(kindError) && !insideRoot(entry.path()))
            use = ExtractResult::outsideFolder;
        else if (entry.is_directory(kindError))
            use = ExtractResult::notAFile;
        if (entry.is_directory(kindError) && !entry.is_symlink(kindError) && it.depth() + 1 >= maxDepth)
            it.disable_recursion_pending();
        entries.push_back({std::move(name), entry.path(), use});
    }
    if (error)
        whole = false;
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return whole;
}

ExtractResult FolderShowSource::fetch(std::string_view memberName, std::vector<std::uint8_t>& out) {
    out = {};
    if (root_.empty())
        return ExtractResult::notFound;
    std::vector<Entry> entries;
    walk(entries);
    // As in an archive, a folder of the name does not hide a file of the same name.
    bool folderFound = false;
    const Entry* file = nullptr;
    for (const Entry& entry : entries) {
        if (!memberNameMatches(memberName, entry.name))
            continue;
        if (entry.use == ExtractResult::notAFile) {
            folderFound = true;
            continue;
        }
        file = &entry;
        break;
    }
    if (!file)
        return folderFound ? ExtractResult::notAFile : ExtractResult::notFound;
    if (file->use != ExtractResult::ok)
        return file->use;
    // Checked again at the moment of reading: the tree may have changed since the walk.
    std::error_code error;
    if (!insideRoot(file->path))
        return ExtractResult::outsideFolder;
    if (!fs::is_regular_file(file->path, error))
        return ExtractResult::notAFile;
    const std::uintmax_t size = fs::file_size(file->path, error);
    if (error)
        return ExtractResult::dataError;
    if (size > largestMemberSize)
        return ExtractResult::tooLarge;
    std::ifstream in(file->path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) ||
        in.peek() != std::ifstream::traits_type::eof())
        return ExtractResult::dataError; // it changed size while being read
    out = std::move(bytes);
    return ExtractResult::ok;
}

ExtractResult FolderShowSource::listFiles(std::vector<std::string>& names) {
    names.clear();
    if (root_.empty())
        return ExtractResult::notFound;
    std::vector<Entry> entries;
    const bool whole = walk(entries);
    for (const Entry& entry : entries)
        if (entry.use == ExtractResult::ok)
            names.push_back(entry.name);
    return whole ? ExtractResult::ok : ExtractResult::tooManyFiles;
}
