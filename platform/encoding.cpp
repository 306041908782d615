// CP932 conversion with iconv ("CP932", never "SHIFT_JIS": eight codes differ there).
#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace {
std::string convert(std::string_view input, const char* to, const char* from) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete sequence: replace one byte and go on.
            out.push_back('?');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    iconv_close(cd);
    return out;
}
}  // namespace

std::string cp932ToUtf8(std::string_view cp932) { return convert(cp932, "UTF-8", "CP932"); }
std::string utf8ToCp932(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8"); }
