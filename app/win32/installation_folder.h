#pragma once

#include <functional>
#include <string>
#include <vector>

// The folder whose data.sdd the show reads. The user's Path, as the installer wrote it, comes first, then
// the Path an installation for all users wrote for every user; but a folder that no longer holds the show
// (moved, cleaned up, or left by an older installation) must not hide the data.sdd that lies beside the
// program itself, so the program's own folder comes last. When none holds it, the first Path given is kept
// (where the show was installed) so that the message names the file the user can put back; without any, the
// program's folder.
std::string chooseInstallationFolder(const std::vector<std::string>& paths, const std::string& programFolder,
                                     const std::function<bool(const std::string& folder)>& holdsShow);

// Whether `folder` holds a file named data.sdd.
bool folderHoldsShow(const std::string& folder);

// `folder`\data.sdd; the bare name when there is no folder.
std::string showArchiveIn(const std::string& folder);

// The folder the running program was loaded from; empty when the system cannot say.
std::string programFolder();
