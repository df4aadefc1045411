#pragma once

#include <sys/types.h>

// `mode` as a file made now gets it: less the bits the process's umask takes away, as open() and mkdir()
// would. Tools that set a file's mode themselves (a file made under a temporary name, an extracted file)
// honour the user's umask through this. The umask stays as it was.
mode_t umaskedMode(mode_t mode);
