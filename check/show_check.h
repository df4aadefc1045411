#pragma once

#include <ostream>
#include <string>
#include <vector>

// One thing wrong with a show, where it is and what to do about it.
struct ShowFault {
    std::string file; // the show's file it is in; empty for the show as a whole
    int line = 0;     // counting from 1; 0 when it concerns the whole file
    std::string message;
};

// "solar.txt:12: message", "solar.txt: message" or the message alone.
std::string describeFault(const ShowFault& fault);

// Loads the show at `path` (an archive or an unpacked folder) the way a run does, through the same readers,
// but without a window or GL: no picture is decoded past its header and no mesh is compiled. Returns every
// fault found, in the order the load meets them: lines the readers pass over as unknown, settings whose
// numbers are missing or out of range, blocks the file ends inside, names of pictures, meshes, scripts,
// environments and parents the show lacks, pictures too large or unreadable, what the show's budget has no
// room for, no world to show, and files nothing reads.
std::vector<ShowFault> checkShow(const std::string& path);

// checkShow, one line per fault on `out` and a last line with the count. 0 when the show is clean, 1
// otherwise: the exit status of `heliox --check`.
int runShowCheck(const std::string& path, std::ostream& out);
