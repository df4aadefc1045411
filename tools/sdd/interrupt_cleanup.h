#pragma once

#include <string>

// Files that are being written and must not outlive an interrupted run: a temporary archive or extracted
// file that is renamed into place only once it is whole. On SIGINT, SIGTERM or SIGHUP every file registered
// here is removed, and the process then dies of the signal as it would have without this.
namespace interrupt_cleanup {

// Installs the handlers; done once, before the first register.
void install();

// Registers a file while it is being written (at most a few at a time; false when there is no room, and
// the file is then simply not cleaned up), and forgets it once it is renamed into place or removed.
bool remember(const std::string& path);
void forget(const std::string& path);

} // namespace interrupt_cleanup
