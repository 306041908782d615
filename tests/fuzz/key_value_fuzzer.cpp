// Fuzz harness: KEYVALUE text (the archive descriptions and add-on item records).
#include <string>

#include "archive/catalogue.h"
#include "archive/key_value.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = contentBlock(data, size);
    KeyValueLineReader lines(text);
    while (lines.next()) {
    }
    std::string problem;
    // A malformed line ends the game by design; only texts that pass the check are parsed.
    if (checkKeyValueText(text, &problem)) {
        KEYVALUE record;
        record.parse(text);
        for (const KeyValuePair* pair = record.pairs(); pair->key; ++pair) {
            if (record.find(pair->key) == nullptr) std::abort();
            offers(record, pair->value);
        }
        for (const KeyValuePair* p = record.findNext(nullptr, "FILE_"); p;
             p = record.findNext(p, "FILE_")) {
        }
    }
    std::free(text);
    return 0;
}
