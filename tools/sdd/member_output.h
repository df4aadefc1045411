#pragma once

#include "base/pending_file.h"
#include "data/archive_member.h"
#include "tools/sdd/commands.h"

#include <filesystem>
#include <optional>
#include <string>

// Where one member of `x` goes. A file is written to a temporary file beside its target and put under its
// name only once its CRC is right, so a member that fails (or a run cut short) never leaves a truncated or
// damaged file under the member's name; a file already there is replaced whole, and only with -f. Nothing is
// written through a symbolic link or outside the output folder.
struct MemberOutput {
    enum class Outcome { written, notWanted, skipped, failed, damaged };
    Outcome outcome = Outcome::notWanted;
    std::string reason;
    std::filesystem::path relative; // of a folder, made once the member checks out
    std::optional<PendingFile> file;
};

// Readies the member's output: a temporary file for a file, the place of a folder; or the reason why not.
MemberOutput openMemberOutput(const MemberHeader& header, const std::string& name,
                              const ExtractOptions& options);

// Puts the member's file in place when it checked out (or, with -kb, whatever it was), else removes it.
void closeMemberOutput(MemberOutput& output, const MemberHeader& header, ExtractResult result,
                       const ExtractOptions& options);

// Makes the folders of `relative` below `folder`, refusing to go through a symbolic link below it.
bool createFolders(const std::filesystem::path& folder, const std::filesystem::path& relative,
                   std::string& reason);

// A folder's stored time and permissions, set through the folder itself: never through a symbolic link put
// in its place.
void setFolderTimeAndPermissions(const std::filesystem::path& path, const MemberHeader& header);
