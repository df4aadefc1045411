#pragma once

#include <functional>

// Loading a show takes seconds, and a hostile one could take minutes; a key, a click or a stop signal must
// end the run within half a second all the same. The shell that runs the load says how to tell that the run
// should end (its input events and stop signals); the loaders ask between members and the decoders inside
// long work, and give up what they are doing when it says so. The answer sticks: once asked to stop, every
// later question says stop, until the next load sets a check again.
using LoadStopCheck = std::function<bool()>;

// Makes `check` the one the loaders ask, and forgets an earlier stop. An empty check never stops.
void setLoadStopCheck(LoadStopCheck check);

// Whether the load should be given up. Cheap enough for a decoder's inner loop: the shell's check is asked at
// most every few milliseconds.
bool loadStopRequested();
