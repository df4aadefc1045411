#pragma once

#include "app/command_line.h"

#include <ostream>
#include <string>

// The archive a run shows: --data when given, else the one the installation put in place.
std::string showArchivePath(const RunOptions& options);

// Whether the archive at `path` can be shown, once it has been walked to its end: a missing or damaged
// archive is the most likely reason for an empty picture, and worth saying before anything else is tried. A
// folder is taken as an unpacked show (data/show_source.h), once it could be walked. False, after one line on
// `errors` saying why, when the archive cannot be used.
bool showArchiveReadable(const std::string& path, std::ostream& errors);

// The line a run writes when the archive loaded but holds no world to show, saying why: the list of worlds is
// missing, damaged (and with it the archive), or names none that could be loaded.
void reportNoWorld(const std::string& path, std::ostream& errors);
