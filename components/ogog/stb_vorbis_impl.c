/* The one translation unit that compiles stb_vorbis (Debian's libstb-dev). */
#include "stb_vorbis.h"
