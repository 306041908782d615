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
    const bool fromUtf8 = std::string_view(from) == "UTF-8";
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete sequence: replace one byte and go on. A UTF-8 character
            // with no form in the target becomes one '?', not one per byte.
            out.push_back('?');
            const bool utf8Lead = fromUtf8 && static_cast<unsigned char>(*in) >= 0xC0;
            ++in;
            --inLeft;
            while (utf8Lead && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
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

char32_t cp932CodePoint(uint16_t code) {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    if (!isCp932LeadByte(static_cast<unsigned char>(bytes[0]))) return 0;
    // One character converts to one UTF-8 sequence of 2 or 3 bytes; anything else (a '?'
    // for a byte that did not convert) means there is no character.
    const std::string utf8 = convert(std::string_view(bytes, 2), "UTF-8", "CP932");
    const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
    if (utf8.size() == 2 && (u[0] & 0xE0) == 0xC0 && (u[1] & 0xC0) == 0x80)
        return char32_t(u[0] & 0x1F) << 6 | (u[1] & 0x3F);
    if (utf8.size() == 3 && (u[0] & 0xF0) == 0xE0 && (u[1] & 0xC0) == 0x80 && (u[2] & 0xC0) == 0x80)
        return char32_t(u[0] & 0x0F) << 12 | char32_t(u[1] & 0x3F) << 6 | (u[2] & 0x3F);
    return 0;
}
