// Message boxes: the text always goes to stderr, and to a dialog where a display exists.
#pragma once

#include <functional>

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONERROR = 0x10;

// Shows `text` under `caption`; both are CP932 bytes. Returns when the user has closed it.
void messageBox(const char* text, const char* caption, unsigned style);

// Where a display exists, the windowing layer installs a dialog here (UTF-8 texts).
using MessageBoxDisplay =
    std::function<void(const char* utf8Text, const char* utf8Caption, unsigned style)>;
void setMessageBoxDisplay(MessageBoxDisplay display);
// Installs the windowing layer's dialog (nothing in headless runs).
void installMessageBoxDialog();

// Shows the message box and ends the process with exit code -1 (255).
[[noreturn]] void fatalError(const char* text, const char* caption);

// For fuzzers that must survive fatal conditions: called by fatalError instead of showing the
// message; it must not return (a fuzzer throws), otherwise the process still ends. Null restores
// the message and the exit.
using FatalErrorHandler = void (*)(const char* text, const char* caption);
void setFatalErrorHandler(FatalErrorHandler handler);
