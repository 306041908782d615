// The label index of a loaded script: every ":" of the text read once, so that a jump is a
// lookup instead of a scan of the whole text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class ScriptLabelIndex {
public:
    // Reads the label that starts at `at` (the byte after a ":") into `name`; returns the
    // position after the label's terminator, or null when no label ends there.
    using ReadLabel = std::function<const char*(const char* at, const char** name)>;

    // Whether the index was built for this text (it holds the text, so the address cannot be
    // reused by another one while it does).
    bool isFor(const std::shared_ptr<char>& text) const { return text_ && text_ == text; }
    void build(std::shared_ptr<char> text, const ReadLabel& read);
    void clear();

    // The position after the first label in the text called `label`, or null: the same answer
    // as a scan from the top that tries every ":" in turn.
    const char* find(const char* label, const ReadLabel& read) const;

private:
    std::shared_ptr<char> text_;
    // (hash of the name, offset of the byte after the ":"), sorted: by hash, then text order.
    // Names are not kept: memory stays at 16 bytes per ":" whatever the labels' lengths.
    std::vector<std::pair<uint64_t, uint64_t>> entries_;
};
