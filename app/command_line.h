// Start-up options from the command line.
#pragma once

#include <string>

// Applies every keyword of the command-line text (CP932, the text after the program name).
void parseCommandLine(const char* text);
// Converts a name field of kNameFieldSize bytes in place to its full-width form, cut at the
// last whole double-byte character that fits in 32 bytes.
void toFullWidth(char* field);
// The command-line text of this platform's argument vector (UTF-8 arguments become CP932).
std::string commandLineText(int argc, char** argv);
