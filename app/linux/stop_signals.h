#pragma once

// SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2 and SIGPIPE (the X server or a reader of the
// output gone) ask a run to stop rather than kill it, so that it can put the display's gamma back and close
// its windows first. The handler only records the signal; the run's loop asks for it between
// frames (and the loading screen between loading steps), where every X and GL call is safe.

// Installs the handlers. Safe to call more than once.
void catchStopSignals();

// The signal that asked the run to stop, or 0 while none has.
int stopSignal();
