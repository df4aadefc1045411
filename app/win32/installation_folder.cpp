#include "app/win32/installation_folder.h"

#include <windows.h>

std::string chooseInstallationFolder(const std::vector<std::string>& paths, const std::string& programFolder,
                                     const std::function<bool(const std::string& folder)>& holdsShow) {
    for (const std::string& path : paths)
        if (!path.empty() && holdsShow(path))
            return path;
    if (!programFolder.empty() && holdsShow(programFolder))
        return programFolder;
    for (const std::string& path : paths)
        if (!path.empty())
            return path;
    return programFolder;
}

std::string showArchiveIn(const std::string& folder) {
    if (folder.empty())
        return "data.sdd";
    const char last = folder.back();
    return folder + (last == '\\' || last == '/' ? "" : "\\") + "data.sdd";
}

bool folderHoldsShow(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(showArchiveIn(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return {};
    const std::string file(path, length);
    const std::size_t separator = file.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : file.substr(0, separator);
}
