// The label index of a loaded script.
#include "game/script_labels.h"

#include <algorithm>
#include <cstring>

namespace {
uint64_t hashName(const char* name) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (const auto* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        h = (h ^ *p) * 1099511628211ull;
    return h;
}
}  // namespace

void ScriptLabelIndex::build(std::shared_ptr<char> text, const ReadLabel& read) {
    clear();
    text_ = std::move(text);
    if (!text_) return;
    const char* start = text_.get();
    for (const char* colon = std::strchr(start, ':'); colon; colon = std::strchr(colon + 1, ':')) {
        const char* name = nullptr;
        if (read(colon + 1, &name))
            entries_.emplace_back(hashName(name), static_cast<uint64_t>(colon + 1 - start));
    }
    // Equal hashes keep text order, so the first label of a name is met first.
    std::sort(entries_.begin(), entries_.end());
}

void ScriptLabelIndex::clear() {
    text_.reset();
    entries_.clear();
}

const char* ScriptLabelIndex::find(const char* label, const ReadLabel& read) const {
    if (!text_) return nullptr;
    const uint64_t h = hashName(label);
    auto it = std::lower_bound(entries_.begin(), entries_.end(), std::make_pair(h, uint64_t{0}));
    for (; it != entries_.end() && it->first == h; ++it) {
        const char* name = nullptr;
        const char* after = read(text_.get() + it->second, &name);
        if (after && std::strcmp(name, label) == 0) return after;
    }
    return nullptr;
}
