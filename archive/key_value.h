// KEYVALUE records: the key=value text of archive descriptions, as ordered string pairs.
#pragma once

#include <cstddef>
#include <string>

struct KeyValuePair {
    char* key;    // owned, NUL-terminated, never empty
    char* value;  // owned, NUL-terminated, may be empty
};

// Significant lines hold at most this many bytes; longer lines are cut.
constexpr size_t kKeyValueLineLimit = 1023;

// Splits a text into its significant lines. Bytes 0 to 32 (blanks, tabs, carriage returns) are
// dropped wherever they stand, "#" starts a comment that runs to the line feed, and lines left
// empty produce nothing.
class KeyValueLineReader {
public:
    explicit KeyValueLineReader(const char* text) : cursor_(text ? text : "") {}
    // The next significant line (valid until the next call), or null at the end of the text.
    const char* next();
    // Whether the line just returned had more significant bytes than the limit.
    bool lastLineWasCut() const { return cut_; }
    // The 1-based number of the text line where the line just returned ended.
    int lineNumber() const { return lineNumber_; }

private:
    const char* cursor_;
    char line_[kKeyValueLineLimit + 1] = {};
    bool cut_ = false;
    int lineNumber_ = 0;
    int textLine_ = 1;
};

class KEYVALUE {
public:
    KEYVALUE();
    ~KEYVALUE();
    KEYVALUE(KEYVALUE&& other) noexcept;
    KEYVALUE& operator=(KEYVALUE&& other) noexcept;
    KEYVALUE(const KEYVALUE&) = delete;
    KEYVALUE& operator=(const KEYVALUE&) = delete;

    // Builds the pairs from a NUL-terminated text (replacing any earlier ones); the text is only
    // read. A line without "=" or starting with "=" ends the process with exit code -1.
    void parse(const char* text);

    // Splits one significant line at its first "=" into a newly allocated key and value.
    static void makeKeyValue(KeyValuePair* pair, const char* line);

    // The first pair whose key equals `key` byte for byte, or null.
    const KeyValuePair* find(const char* key) const;

    // The first pair after `previous` (from the start when null) whose key begins with
    // `prefix`, or null.
    const KeyValuePair* findNext(const KeyValuePair* previous, const char* prefix) const;

    // The pairs in source order, ended by a pair whose key and value are null.
    const KeyValuePair* pairs() const { return pairs_; }
    size_t size() const { return count_; }

private:
    void release();

    KeyValuePair* pairs_;
    size_t count_;
};

// Whether `text` parses as a KEYVALUE record without ending the process; otherwise `problem`
// says which line is wrong. Lines cut at the line limit count as wrong here.
bool checkKeyValueText(const char* text, std::string* problem);
