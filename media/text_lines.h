// The line reader of the TSS and TCM text formats.
#pragma once

#include <cstddef>

constexpr size_t kTextLineSize = 1024;  // a line keeps at most 1023 characters

// Lines end at a carriage return; line feeds are dropped wherever they stand; empty lines and
// lines starting with "#" are skipped; the end of the data (its size or a NUL byte) ends
// reading, so a last line without a carriage return is never returned.
struct TextLines {
    const char* cursor;
    const char* end;
    char* buffer;  // kTextLineSize bytes, overwritten by every read

    // The next line in `buffer`, or null at the end of the data.
    const char* next();
};

// The two process-wide line buffers: one for motions, one for camera paths.
char* motionLineBuffer();
char* cameraLineBuffer();
