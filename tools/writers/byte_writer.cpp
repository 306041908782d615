// A growing byte buffer that every format writer builds files in (header-only; this unit anchors the library).
#include "tools/writers/byte_writer.h"
