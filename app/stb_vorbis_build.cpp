// Windows has no libvorbis, so stb_vorbis is compiled into the program from Debian's stb header, which holds
// the implementation unless told it is included for the declarations only. The Linux fuzzing build compiles
// it the same way, so the Windows decoder is fuzzed behind the same checks.
#include <stb_vorbis.h>
