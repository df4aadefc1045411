#include "data/show_source.h"

#include "data/archive_show_source.h"
#include "data/folder_show_source.h"

#include <filesystem>

bool isShowFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::unique_ptr<ShowSource> openShowSource(const std::string& path) {
    if (isShowFolder(path))
        return std::make_unique<FolderShowSource>(path);
    return std::make_unique<ArchiveShowSource>(path);
}
