// Windows has no system stb library, so the decoder is compiled into the program from stb's own header, which
// holds the implementation unless told it is included for the declarations only.
#include <stb_vorbis.h>
