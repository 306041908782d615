// The line reader of the TSS and TCM text formats.
#include "media/text_lines.h"

const char* TextLines::next() {
    for (;;) {
        size_t length = 0;
        bool ended = false;
        while (cursor < end && *cursor != '\0') {
            const char c = *cursor++;
            if (c == '\r') {
                ended = true;
                break;
            }
            if (c == '\n') continue;
            if (length < kTextLineSize - 1)
                buffer[length++] = c;  // the rest of a long line is lost
        }
        if (!ended) return nullptr;
        buffer[length] = '\0';
        if (length == 0 || buffer[0] == '#') continue;
        return buffer;
    }
}

char* motionLineBuffer() {
    static char buffer[kTextLineSize];
    return buffer;
}

char* cameraLineBuffer() {
    static char buffer[kTextLineSize];
    return buffer;
}
