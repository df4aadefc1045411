#include "base/umasked_mode.h"

#include <sys/stat.h>

mode_t umaskedMode(mode_t mode) {
    // The system has no call that only reads the umask: it is read by setting it, and put straight back.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}
