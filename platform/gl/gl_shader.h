// Compiling and linking GLSL programs.
#pragma once

#include <epoxy/gl.h>

#include <string>

// Returns the linked program, or 0 with the compiler's log in `log`.
GLuint buildProgram(const std::string& vertexSource, const std::string& fragmentSource,
                    std::string* log);
