// A memory stream over a file of the add-on archives.
#include "archive/catalogue.h"
#include "audio/memory_stream.h"

MemoryStream::MemoryStream(const char* name) {
    size_t size = 0;
    data_ = loadFile(name, &size);
    // The archive format cannot hold a file over 4 GiB; clamp anyway so reads stay inside.
    size_ = size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
}
