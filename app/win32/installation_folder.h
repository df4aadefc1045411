#pragma once

#include <functional>
#include <string>

// The folder whose data.sdd the show reads. Path, as the installer wrote it, comes first; but a folder that
// no longer holds the show (moved, cleaned up, or a Path left by an older installation) must not hide the
// data.sdd that lies beside the program itself, so the program's own folder is tried next. When neither holds
// it, Path is kept (it is where the user installed the show) so that the message names the file the user
// can put back; without Path, the program's folder.
std::string chooseInstallationFolder(const std::string& path, const std::string& programFolder,
                                     const std::function<bool(const std::string& folder)>& holdsShow);

// Whether `folder` holds a file named data.sdd.
bool folderHoldsShow(const std::string& folder);

// `folder`\data.sdd; the bare name when there is no folder.
std::string showArchiveIn(const std::string& folder);

// The folder the running program was loaded from; empty when the system cannot say.
std::string programFolder();
