// Message boxes on stderr, with an optional dialog installed by the windowing layer.
#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/encoding.h"

namespace {
MessageBoxDisplay& display() {
    static MessageBoxDisplay instance;
    return instance;
}

FatalErrorHandler fatalHandler = nullptr;
}  // namespace

void setMessageBoxDisplay(MessageBoxDisplay d) {
    display() = std::move(d);
}

void messageBox(const char* text, const char* caption, unsigned style) {
    const std::string utf8Text = cp932ToUtf8(text ? text : "");
    const std::string utf8Caption = cp932ToUtf8(caption ? caption : "");
    std::fprintf(stderr, "[%s] %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    if (display()) display()(utf8Text.c_str(), utf8Caption.c_str(), style);
}

void setFatalErrorHandler(FatalErrorHandler handler) {
    fatalHandler = handler;
}

void fatalError(const char* text, const char* caption) {
    if (fatalHandler) fatalHandler(text, caption);
    messageBox(text, caption, MB_ICONERROR);
    std::exit(-1);
}
