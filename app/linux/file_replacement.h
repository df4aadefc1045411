#pragma once

#include <string>

// Replacing a small text file that a user may have arranged in their own way.

// The file a path finally names: symbolic links followed, as many as the system would follow, whether or not
// the last target exists yet (a link kept in a dotfiles folder may point at a file still to be made).
std::string followSymbolicLinks(const std::string& path);

// Writes `text` to a fresh temporary file beside `path`, flushes it to disk and renames it over `path`, so an
// interrupted write leaves the old file whole. The new file keeps the old one's permissions (0644 when there
// was none). A file that nobody may write (no write permission at all) is the user's way of keeping it as it
// is: it is refused, not replaced; one that only others may write is replaced all the same. `path` should
// have had its links followed: the rename replaces a link itself. On failure `error` says why.
bool replaceFileText(const std::string& path, const std::string& text, std::string& error);
