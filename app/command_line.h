// Start-up options from the command line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Applies every keyword of the command-line text (CP932, the text after the program name).
void parseCommandLine(const char* text);
// Converts a name field of kNameFieldSize bytes in place to its full-width form, cut at the
// last whole double-byte character that fits in 32 bytes.
void toFullWidth(char* field);
// Stores the longest prefix of `cp932` that ends on a whole character and fits in `limit`
// bytes into a name field of kNameFieldSize bytes, then converts it to full width.
void storeName(char* field, std::string_view cp932, size_t limit);
// The command-line text of this platform's argument vector (UTF-8 arguments become CP932).
std::string commandLineText(int argc, char** argv);
