// Compiling and linking GLSL programs.
#include "platform/gl/gl_shader.h"

namespace {
GLuint compile(GLenum type, const std::string& source, std::string* log) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buffer[4096] = {};
        glGetShaderInfoLog(shader, sizeof buffer - 1, nullptr, buffer);
        if (log) *log += buffer;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}
}  // namespace

GLuint buildProgram(const std::string& vertexSource, const std::string& fragmentSource,
                    std::string* log) {
    GLuint vs = compile(GL_VERTEX_SHADER, vertexSource, log);
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentSource, log);
    if (!vs || !fs) {
        if (vs) glDeleteShader(vs);
        if (fs) glDeleteShader(fs);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char buffer[4096] = {};
        glGetProgramInfoLog(program, sizeof buffer - 1, nullptr, buffer);
        if (log) *log += buffer;
        glDeleteProgram(program);
        return 0;
    }
    return program;
}
