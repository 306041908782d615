// KEYVALUE records: the key=value text of archive descriptions, as ordered string pairs.
#include "archive/key_value.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

namespace {
KeyValuePair kEndPair = {nullptr, nullptr};

char* copyBytes(const char* bytes, size_t length) {
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) std::abort();
    std::memcpy(copy, bytes, length);
    copy[length] = 0;
    return copy;
}

// Where a line splits into key and value, or null when it has no "=" or an empty key.
const char* splitPoint(const char* line) {
    const char* equals = std::strchr(line, '=');
    return equals && equals != line ? equals : nullptr;
}
}  // namespace

const char* KeyValueLineReader::next() {
    size_t length = 0;
    bool comment = false;
    cut_ = false;
    for (;;) {
        const unsigned char c = static_cast<unsigned char>(*cursor_);
        if (c == 0) {
            lineNumber_ = textLine_;
            line_[length] = 0;
            return length ? line_ : nullptr;
        }
        ++cursor_;
        if (c == '#') {
            comment = true;
        } else if (c == '\n') {
            lineNumber_ = textLine_++;
            comment = false;
            if (length) {
                line_[length] = 0;
                return line_;
            }
        } else if (c > 32 && !comment) {
            if (length < kKeyValueLineLimit) {
                line_[length++] = static_cast<char>(c);
            } else {
                cut_ = true;
            }
        }
    }
}

KEYVALUE::KEYVALUE() : pairs_(&kEndPair), count_(0) {}

KEYVALUE::~KEYVALUE() {
    release();
}

KEYVALUE::KEYVALUE(KEYVALUE&& other) noexcept : pairs_(other.pairs_), count_(other.count_) {
    other.pairs_ = &kEndPair;
    other.count_ = 0;
}

KEYVALUE& KEYVALUE::operator=(KEYVALUE&& other) noexcept {
    if (this != &other) {
        release();
        pairs_ = std::exchange(other.pairs_, &kEndPair);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

void KEYVALUE::release() {
    if (pairs_ != &kEndPair) {
        for (size_t i = 0; i < count_; ++i) {
            std::free(pairs_[i].key);
            std::free(pairs_[i].value);
        }
        delete[] pairs_;
    }
    pairs_ = &kEndPair;
    count_ = 0;
}

void KEYVALUE::parse(const char* text) {
    release();
    size_t lines = 0;
    for (KeyValueLineReader reader(text); reader.next();) ++lines;
    if (lines == 0) return;
    auto* pairs = new KeyValuePair[lines + 1]();
    KeyValueLineReader reader(text);
    for (size_t i = 0; i < lines; ++i) makeKeyValue(&pairs[i], reader.next());
    pairs_ = pairs;
    count_ = lines;
}

void KEYVALUE::makeKeyValue(KeyValuePair* pair, const char* line) {
    const char* equals = line ? splitPoint(line) : nullptr;
    if (!equals || !pair) {
        std::fputs("*** internal error in KEYVALUE::makeKeyValue()\n", stdout);
        std::fflush(stdout);
        std::exit(-1);
    }
    pair->key = copyBytes(line, static_cast<size_t>(equals - line));
    pair->value = copyBytes(equals + 1, std::strlen(equals + 1));
}

const KeyValuePair* KEYVALUE::find(const char* key) const {
    if (!key) return nullptr;
    for (size_t i = 0; i < count_; ++i)
        if (std::strcmp(pairs_[i].key, key) == 0) return &pairs_[i];
    return nullptr;
}

const KeyValuePair* KEYVALUE::findNext(const KeyValuePair* previous, const char* prefix) const {
    if (!prefix) return nullptr;
    size_t start = 0;
    if (previous) {
        // Only a pair of this record can be continued from.
        const std::less<const KeyValuePair*> before;
        if (before(previous, pairs_) || !before(previous, pairs_ + count_)) return nullptr;
        start = static_cast<size_t>(previous - pairs_) + 1;
    }
    const size_t length = std::strlen(prefix);
    for (size_t i = start; i < count_; ++i)
        if (std::strncmp(pairs_[i].key, prefix, length) == 0) return &pairs_[i];
    return nullptr;
}

bool checkKeyValueText(const char* text, std::string* problem) {
    KeyValueLineReader reader(text);
    while (const char* line = reader.next()) {
        const char* why = nullptr;
        if (reader.lastLineWasCut()) {
            why = "has more than 1023 significant bytes";
        } else if (!std::strchr(line, '=')) {
            why = "has no '='";
        } else if (!splitPoint(line)) {
            why = "has an empty key (starts with '=')";
        }
        if (why) {
            if (problem) *problem = "line " + std::to_string(reader.lineNumber()) + " " + why;
            return false;
        }
    }
    return true;
}
