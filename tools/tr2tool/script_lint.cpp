// The scenario lint of tr2tool script-run: what a script names that the add-ons lack, labels
// it jumps to that it never defines, and half-width text that the game does not show.
#include "tools/tr2tool/script_lint.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "archive/catalogue.h"
#include "platform/encoding.h"

namespace {
// A command as the engine and the game read it: its letters, its arguments ("i" number, "f"
// number, "s" string), which argument names a file or a label, and the file's ending.
struct CommandShape {
    const char* letters;
    const char* args;
    int fileArgument;  // -1 for none
    const char* ending;
    int labelArgument;  // -1 for none
};

constexpr CommandShape kCommands[] = {
    {"E", "isis", -1, "", 3},    {"G", "s", 0, ".txt", -1},    {"I", "", -1, "", -1},
    {"i", "ss", -1, "", 1},      {"J", "s", -1, "", 0},        {"L", "s", -1, "", 0},
    {"l", "", -1, "", -1},       {"K", "", -1, "", -1},        {"k", "", -1, "", -1},
    {"R", "", -1, "", -1},       {"r", "", -1, "", -1},        {"n", "s", -1, "", -1},
    {"S", "isi", -1, "", -1},    {"WG", "i", -1, "", -1},      {"W", "i", -1, "", -1},
    {"w", "i", -1, "", -1},      {"MA", "si", 0, ".ogg", -1},  {"MS", "si", 0, ".ogg", -1},
    {"M", "si", 0, ".ogg", -1},  {"Q", "", -1, "", -1},        {"q", "i", -1, "", -1},
    {"T", "i", -1, "", -1},      {"g", "s", 0, ".psd", -1},    {"Z", "i", -1, "", -1},
    {"X", "", -1, "", -1},       {"f", "iii", -1, "", -1},     {"cl", "i", -1, "", -1},
    {"cp", "s", -1, "", -1},     {"cu", "ifff", -1, "", -1},   {"cv", "ii", -1, "", -1},
    {"c", "si", 0, ".tcm", -1},  {"la", "ifff", -1, "", -1},   {"ld", "ifff", -1, "", -1},
    {"ls", "ifff", -1, "", -1},  {"lv", "ifff", -1, "", -1},   {"le", "ii", -1, "", -1},
    {"mb", "is", 1, ".tmb", -1}, {"mn", "is", 1, ".tsb", -1},  {"mV", "ii", -1, "", -1},
    {"ml", "is", 1, ".tmb", -1}, {"ma", "iis", 2, ".tmb", -1}, {"md", "ii", -1, "", -1},
    {"mh", "iii", -1, "", -1},   {"mc", "iif", -1, "", -1},    {"mm", "is", 1, ".tsb", -1},
    {"mr", "", -1, "", -1},      {"mp", "is", -1, "", -1},     {"mv", "ii", -1, "", -1},
    {"oR", "iiiff", -1, "", -1}, {"o", "s", 0, ".ogg", -1},
};

// The longest command whose letters stand at `p` ("%la" is a light, "%l" a return); null for an
// unknown letter.
const CommandShape* commandAt(const char* p) {
    const CommandShape* best = nullptr;
    for (const CommandShape& c : kCommands)
        if (std::strncmp(p, c.letters, std::strlen(c.letters)) == 0 &&
            (!best || std::strlen(c.letters) > std::strlen(best->letters)))
            best = &c;
    return best;
}

class Linter {
public:
    explicit Linter(std::vector<LintWarning>* out) : out_(out) {}

    void lintFile(const std::string& name) {
        if (!seenFiles_.insert(name).second) return;
        size_t size = 0;
        if (fileSize(name.c_str()) == 0) return;  // reported where it is named
        char* text = loadFile(name.c_str(), &size);
        file_ = name;
        scan(text);
        std::free(text);
        for (const auto& [label, line] : usedLabels_)
            if (!definedLabels_.count(label) && label != "SystemExit")
                warn(line, "label \"" + cp932ToUtf8(label) + "\" is never defined");
        usedLabels_.clear();
        definedLabels_.clear();
        for (const std::string& next :
             std::vector<std::string>(pendingFiles_.begin(), pendingFiles_.end())) {
            pendingFiles_.erase(next);
            lintFile(next);
        }
    }

private:
    void scan(const char* text) {
        const char* p = text;
        line_ = 1;
        std::string ascii;
        int asciiLine = 0;
        auto flushAscii = [&] {
            if (!ascii.empty())
                warn(asciiLine, "half-width text \"" + ascii + "\" is not shown (use full width)");
            ascii.clear();
        };
        while (*p) {
            const auto c = static_cast<unsigned char>(*p);
            if (c == '\n') ++line_;
            if (c == '#') {
                flushAscii();
                while (*p && *p != '\n') ++p;
            } else if (c == '$') {
                flushAscii();
                for (++p; *p && *p != '$'; ++p)
                    if (*p == '\n') ++line_;
                if (*p) ++p;
            } else if (c == ':') {
                flushAscii();
                ++p;
                definedLabels_.insert(token(&p));
            } else if (c == '%') {
                flushAscii();
                ++p;
                command(&p);
            } else if (c == '&') {
                p += p[1] ? 2 : 1;
            } else if (c <= 0x21) {
                flushAscii();
                ++p;
            } else if (c >= 0x80) {
                flushAscii();
                p += p[1] ? 2 : 1;
            } else {
                if (ascii.empty()) asciiLine = line_;
                ascii += static_cast<char>(c);
                ++p;
            }
        }
        flushAscii();
    }

    std::string token(const char** p) {
        std::string t;
        while (**p && **p != ',' && **p != ';') {
            if (**p == '\n') ++line_;
            t += *(*p)++;
        }
        if (**p) ++*p;
        return t;
    }

    void command(const char** p) {
        const int at = line_;
        const CommandShape* shape = commandAt(*p);
        if (!shape) {
            warn(at, std::string("unknown command %") + (**p ? std::string(1, **p) : ""));
            return;
        }
        *p += std::strlen(shape->letters);
        for (int i = 0; shape->args[i]; ++i) {
            const std::string value = token(p);
            if (i == shape->labelArgument) usedLabels_.emplace(value, at);
            if (i != shape->fileArgument || value.empty() || value.find('&') != std::string::npos)
                continue;
            const std::string file = value + shape->ending;
            // "nil.tmb" (any case) takes a part off and loads nothing.
            if (std::strcmp(shape->ending, ".tmb") == 0 &&
                strncasecmp(file.c_str(), "nil.", 4) == 0)
                continue;
            if (fileSize(file.c_str()) == 0)
                warn(at, "no add-on provides \"" + cp932ToUtf8(file) + "\"");
            else if (std::strcmp(shape->ending, ".txt") == 0)
                pendingFiles_.insert(file);
        }
        if (std::strcmp(shape->letters, "T") == 0 && fileSize("title2.psd") == 0)
            warn(at, "no add-on provides \"title2.psd\"");
    }

    void warn(int line, const std::string& text) {
        out_->push_back({cp932ToUtf8(file_), line, text});
    }

    std::vector<LintWarning>* out_;
    std::string file_;
    int line_ = 1;
    std::set<std::string> seenFiles_, definedLabels_, pendingFiles_;
    std::multimap<std::string, int> usedLabels_;
};
}  // namespace

std::vector<LintWarning> lintScenario(const std::string& name) {
    std::vector<LintWarning> warnings;
    Linter(&warnings).lintFile(name);
    return warnings;
}
