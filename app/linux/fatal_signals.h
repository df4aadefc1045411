#pragma once

// A run that dies of a fault or an abort (an uncaught exception, a failed allocation, a failed check, or a
// library that falls over when the X server goes away) still gets its last words: `lastWords` runs in the
// signal handler, once, and the signal then goes on to whatever handled it before (by default the end of the
// process with a core dump; in a sanitizer build, its report). `lastWords` may end the process itself. It
// runs where the program was stopped, so it must allocate nothing and take no lock the program may hold.

// Installs the handler for SIGABRT, SIGSEGV, SIGBUS, SIGFPE and SIGILL.
void catchFatalSignals(void (*lastWords)());

// Puts back the handlers there were before.
void releaseFatalSignals();
