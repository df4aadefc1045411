// stb_vorbis compiled from Debian's stb header, which holds the implementation unless told it is included
// for the declarations only.
#include <stb_vorbis.h>
