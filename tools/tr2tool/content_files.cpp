// Content files for the inspection and render commands.
#include "tools/tr2tool/content_files.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "archive/catalogue.h"
#include "platform/encoding.h"
#include "tools/tr2tool/tool_files.h"

bool addOnsHold(const std::string& cp932Name) {
    static bool built = false;
    if (!built) {
        buildCatalogue();
        built = true;
    }
    return fileSize(cp932Name.c_str()) > 0;
}

bool readContentFile(const std::string& name, std::vector<uint8_t>* bytes, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(name, ec)) {
        if (readWholeFile(name, bytes)) return true;
        *error = name + ": cannot be read";
        return false;
    }
    const std::string cp932 = utf8ToCp932(name);
    if (!addOnsHold(cp932)) {
        *error = name + ": no such file, and not in ./add-ons/";
        return false;
    }
    size_t size = 0;
    char* data = loadFile(cp932.c_str(), &size);
    bytes->assign(data, data + size);
    std::free(data);
    return true;
}

char* mallocBlock(const std::vector<uint8_t>& bytes) {
    auto* block = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    block[bytes.size()] = 0;
    return block;
}
