#pragma once

#include "base/settings.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The settings as a text file of "Name=value" lines, with the value names the registry uses. Blank lines and
// lines starting with '#' are comments.

// Reads the file over `s`, which should hold the defaults: a value the file does not give keeps its default.
// A malformed line, an unknown name (with the name it most likely meant), an out-of-range number (a switch
// other than 0 or 1 among them) or a line over 4096 bytes is skipped with one line on `warnings`, starting
// "heliox: ", naming the file, the line and the reason, its text made printable. TimeFormat takes 12 or 24
// as well as the stored 1 (12 hours) or 0 (24). DefGamma forces Gamma to 50. Returns
// false, after saying why, only when the file exists but cannot be read; a missing file is the first run and
// simply leaves the defaults.
bool readSettingsFile(const std::string& path, Settings& s, std::ostream& warnings);

// Saves the values in which `s` differs from `loaded` (the settings as read from the file earlier) over what
// the file holds now, and sets `s` to the whole result: processes that save different values at the same
// time all land, as each holds a lock on the file's folder while it reads and replaces it. The file's other
// lines (comments, Path, names this version does not know) stay where they stand. A symbolic link is
// followed, so that the file it names is changed and the link stays; the file keeps its permissions, and a
// read-only file is refused. The new text goes to a temporary file beside the old one, which is flushed to
// disk and then renamed over it, so an interrupted save leaves the old file whole. Creates the folder if
// needed. A line of the file over 4096 bytes, which every read skips, is refused rather than lost. On
// failure `error` says why.
bool writeSettingsFile(const std::string& path, const Settings& loaded, Settings& s, std::string& error);

// Applies one "Name=value" with the same checks as a line of the file (not Path, which only an installer
// sets). Empty when it was taken, else the reason it was not, and `s` is unchanged.
std::string setSetting(Settings& s, std::string_view nameEqualsValue);

// Applies every "Name=value" of `changes` as setSetting does, or none of them: when any is refused, `s` is
// unchanged and the result holds one line for each refused change, its text and the reason.
std::vector<std::string> setSettings(Settings& s, const std::vector<std::string>& changes);

// Every value but Path as the file holds it, one "Name=value" line each, in the order they are written.
std::string settingsValuesText(const Settings& s);

// Where the settings live: $XDG_CONFIG_HOME/heliox/heliox.conf, or ~/.config/heliox/heliox.conf when that is
// unset or not an absolute path. Empty when there is no home folder either.
std::string settingsFilePath();
