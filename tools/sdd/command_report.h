#pragma once

#include "data/archive_member.h"

#include <cstdint>
#include <string>
#include <string_view>

// What every command tells the user: its exit status and the lines it writes to standard error.

inline constexpr int exitOk = 0;      // all done
inline constexpr int exitSkipped = 1; // the archive is sound, but a file was kept, skipped, left out or could
                                      // not be read or written (a file already there kept without -f, an
                                      // unreadable path in a tree given to `a`, a pattern that matched
                                      // nothing, output not writable)
inline constexpr int exitUsage = 2;   // the command line was wrong
inline constexpr int exitDamaged = 3; // the archive is damaged or unreadable: a header or member failed its
                                      // check, a header is cut short, the archive cannot be opened or `a`
                                      // refused to rewrite it for that reason
// Where both apply, the larger code wins: damage outweighs a file left out.

// The name the tool was run under: sdd in the build tree, heliox-sdd where it is installed.
extern std::string programName;

// One line on standard error: the program, the archive, the member (when there is one) and why, each made
// printable. The progress line is cleared first.
void fail(const std::string& archive, std::string_view member, std::string_view reason);

// "1 byte", "2 bytes".
std::string counted(std::uint64_t count, const char* thing);

// Junk after the last whole member (a download with something appended) does not stop the reading; it is
// reported, since it may also be what is left of a member cut off.
void reportTrailingBytes(const std::string& archive, std::uint64_t trailingBytes);

// Whether the damaged header is the archive's main header, which no member stands behind.
bool isMainHeader(const MemberHeader& damage);

// A damaged stretch of the archive: the header that failed its check, by what can still be read of its
// name, where it starts and how much the walk skipped to the next sound member or to the end.
void reportDamage(const std::string& archive, const MemberHeader& header, std::string_view consequence = "");
