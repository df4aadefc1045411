#pragma once

#include "base/pending_file.h"

#include <string>

// Files that are being written and must not outlive an interrupted run: a temporary archive or extracted
// file that is renamed into place only once it is whole. On SIGINT, SIGTERM or SIGHUP every file registered
// here is removed, and the process then dies of the signal as it would have without this.
namespace interrupt_cleanup {

// Installs the handlers; done once, before the first register.
void install();

// Creates a new file (mode 0600) from `name`, a template ending in XXXXXX as for mkstemp, which gets the
// name made. The file is registered before it exists, so no interrupt can come between its making and its
// registering. Its descriptor, or -1 with errno set.
int createTemporary(std::string& name);

// Registers a file while it is being written (at most a few at a time; false when there is no room, and
// the file is then simply not cleaned up), and forgets it once it is renamed into place or removed.
bool remember(const std::string& path);
void forget(const std::string& path);

// The tool's temporary files, made through createTemporary: hidden beside their target, .NAME.sdd-XXXXXX.
extern const TemporaryFiles temporaryFiles;

} // namespace interrupt_cleanup
