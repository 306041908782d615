// The script engine: the frame step, the text typing, the argument readers, labels and calls.
#include "game/script_engine.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/catalogue.h"
#include "game/script_errors.h"
#include "game/script_labels.h"

namespace {
// How reading a token ended.
enum class TokenEnd { ok, tooLong, atEnd };

bool isUnbreakable(const unsigned char* p) {
    // 、 。 」 never start a line.
    return p[0] == 0x81 && (p[1] == 0x41 || p[1] == 0x42 || p[1] == 0x76);
}

void copyBounded(char* out, size_t size, const char* in) {
    const size_t n = strnlen(in, size - 1);
    std::memcpy(out, in, n);
    out[n] = '\0';
}

std::shared_ptr<char> ownText(char* text) {
    if (!text) {
        text = static_cast<char*>(std::malloc(1));
        if (text) text[0] = '\0';
    }
    return std::shared_ptr<char>(text, std::free);
}
}  // namespace

ScriptEngine::ScriptEngine() : sound_(&realSoundRequests()) {
    reset();
}

ScriptEngine::~ScriptEngine() = default;

void ScriptEngine::setSoundRequests(SoundRequests* requests) {
    sound_ = requests ? requests : &realSoundRequests();
}

void ScriptEngine::reset() {
    ScriptState& s = state;
    s.scriptText.reset();
    s.scriptStart = s.position = nullptr;
    s.messageWindowShown = false;
    s.gaugesEnabled = false;
    s.column = 0;
    for (ScriptCallFrame& frame : s.callStack) frame = ScriptCallFrame{};
    s.callDepth = 0;
    s.choiceCount = 0;
    s.inputEnabled = true;
    s.messageText[0] = '\0';
    s.waitTimer = 0;
    s.skip = false;
    s.fastForward = false;
    s.resumePosition = nullptr;
}

void ScriptEngine::start(char* text) {
    ScriptState& s = state;
    s.scriptText = ownText(text);
    s.scriptStart = s.position = s.scriptText.get();
    s.column = 0;
    s.messageText[0] = '\0';
    s.nameLine[0] = '\0';
    s.clickWaitArmed = false;
    s.waitingForClick = false;
    s.choiceMode = false;
    // A resume position would point into the text just released.
    s.resumePosition = nullptr;
}

void ScriptEngine::setNames(const char* player, const char* heroine) {
    char names[2][kNameSize];
    const char* given[2] = {player ? player : "", heroine ? heroine : ""};
    for (int i = 0; i < 2; ++i) {
        // Cut at a character boundary so that no lead byte is left alone.
        size_t n = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(given[i]);
        while (p[n]) {
            const size_t width = (p[n] >= 0x80 && p[n + 1]) ? 2 : 1;
            if (n + width > kNameSize - 1) break;
            n += width;
        }
        std::memcpy(names[i], given[i], n);
        names[i][n] = '\0';
    }
    labels_.clear();  // labels may hold "&" substitutions
    char(&sub)[4][kSubstitutionSize] = state.substitutions;
    std::snprintf(sub[0], kSubstitutionSize, "\x01%s\r", names[0]);
    std::snprintf(sub[1], kSubstitutionSize, "\x02%s\r", names[1]);
    std::snprintf(sub[2], kSubstitutionSize, "%s", names[0]);
    std::snprintf(sub[3], kSubstitutionSize, "%s", names[1]);
}

int ScriptEngine::currentLine() const {
    const ScriptState& s = state;
    const char* at = s.resumePosition ? s.resumePosition : s.position;
    if (!s.scriptStart || !at || at < s.scriptStart) return 0;
    const char* end = s.scriptStart + std::strlen(s.scriptStart);
    if (at > end) return 0;
    int line = 1;
    for (const char* p = s.scriptStart; p < at; ++p)
        if (*p == '\n') ++line;
    return line;
}

// ---- the frame step

void ScriptEngine::run(float elapsedMs) {
    ScriptState& s = state;
    if (s.waitTimer >= 0) {
        s.waitTimer -= elapsedMs * 0.001f;
        return;
    }
    if (s.choiceMode) {
        if (s.selectedChoice < 0) return;
        if (s.selectedChoice >= s.choiceCount || s.selectedChoice >= kMaxChoices) {
            // Not an entry of this choice: wait for a real one.
            s.selectedChoice = -1;
            return;
        }
        char label[kChoiceLabelSize];
        copyBounded(label, sizeof label, s.choices[s.selectedChoice].label);
        jumpTo(label);
        s.choiceMode = false;
        s.messageWindowShown = true;
        s.selectedChoice = -1;
        s.choiceCount = 0;
        closeChoiceMenu();
    }
    if (s.waitingForClick) {
        if (!s.skip) return;
        s.waitingForClick = false;
    }
    if (s.textTimer < 0)
        s.textTimer = 0;
    else
        s.textTimer += elapsedMs;
    interpret();
}

void ScriptEngine::interpret() {
    ScriptState& s = state;
    if (!s.position) return;
    for (;;) {
        if (!s.skip && !s.fastForward) {
            if (s.textTimer < kTypingMs) return;
        } else if (s.waitingForClick) {
            s.fastForward = false;
            return;
        }
        const auto c = static_cast<unsigned char>(*s.position);
        if (c == 0) {
            if (s.resumePosition) {
                s.position = s.resumePosition;
                s.resumePosition = nullptr;
                continue;
            }
            s.textTimer = 0;
            return;
        }
        if (c == '&' && !s.resumePosition) {
            beginSubstitution();
            typeText();
        } else if (c <= 0x21) {
            ++s.position;
        } else if (c == ':') {
            ++s.position;
            readString();
        } else if (c == '#') {
            const char* lf = std::strchr(s.position, '\n');
            s.position = lf ? lf + 1 : s.position + std::strlen(s.position);
        } else if (c == '$') {
            skipBlock();
        } else if (c == '%') {
            ++s.position;
            const char letter = *s.position;
            if (letter == '\0') scriptLimitError(ScriptLimit::commandAtEnd, currentLine());
            if (executeCommand() == 0) return;
            unknownCommandError(letter);
        } else {
            typeText();
        }
    }
}

void ScriptEngine::beginSubstitution() {
    ScriptState& s = state;
    const char selector = s.position[1];
    // At the end of the text there is no selector to step over.
    s.resumePosition = selector ? s.position + 2 : s.position + 1;
    s.position = substitution(selector);
}

const char* ScriptEngine::substitution(char selector) const {
    if (selector >= '0' && selector <= '3') return state.substitutions[selector - '0'];
    return "";  // no such string: nothing is put in
}

void ScriptEngine::skipBlock() {
    ScriptState& s = state;
    const char* close = std::strchr(s.position + 1, '$');
    if (!close) scriptLimitError(ScriptLimit::blockAtEnd, currentLine());
    s.position = close + 1;
}

// Single-byte characters go out with the double-byte character after them; the line wraps after
// kLineWidth characters, but never before 、 。 」.
void ScriptEngine::typeText() {
    ScriptState& s = state;
    const auto* p = reinterpret_cast<const unsigned char*>(s.position);
    const auto* run = p;
    while (*p && *p < 0x80) ++p;
    appendMessage(reinterpret_cast<const char*>(run), p - run);
    if (!*p || !p[1]) {
        // The text (or the substitution) ends here; a lead byte without its trail is dropped.
        s.position = reinterpret_cast<const char*>(*p ? p + 1 : p);
        return;
    }
    appendMessage(reinterpret_cast<const char*>(p), 2);
    p += 2;
    ++s.column;
    if (!(p[0] && isUnbreakable(p)) && s.column >= kLineWidth) {
        appendMessage("\n", 1);
        s.column = 0;
    }
    s.textTimer -= kTypingMs;
    s.position = reinterpret_cast<const char*>(p);
}

void ScriptEngine::appendMessage(const char* bytes, size_t count) {
    char* text = state.messageText;
    const size_t length = strnlen(text, kMessageTextSize);
    if (length + count > kMessageTextSize - 1)
        scriptLimitError(ScriptLimit::messageText, currentLine());
    std::memcpy(text + length, bytes, count);
    text[length + count] = '\0';
}

// ---- argument readers

namespace {
// Collects the token at `p` up to "," or ";" (consumed) into out[0..size-1]; with `substitute`
// a "&" and its selector put in a substitution string. Never reads past the text's NUL.
template <typename Substitute>
TokenEnd collectToken(const char*& p, char* out, size_t size, Substitute substitute) {
    size_t n = 0;
    const char* q = p;
    for (;;) {
        const char c = *q;
        if (c == '\0') return TokenEnd::atEnd;
        if (c == ',' || c == ';') break;
        const char* piece = q;
        size_t length = 1;
        if (c == '&') {
            if (const char* sub = substitute(q[1])) {
                if (q[1] == '\0') return TokenEnd::atEnd;
                piece = sub;
                length = std::strlen(sub);
                // A terminator is no selector: it still ends the token.
                if (q[1] != ',' && q[1] != ';') q += 1;
            }
        }
        if (n + length > size - 1) return TokenEnd::tooLong;
        std::memcpy(out + n, piece, length);
        n += length;
        ++q;
    }
    out[n] = '\0';
    p = q + 1;
    return TokenEnd::ok;
}
}  // namespace

void ScriptEngine::readRaw(char* out, size_t size) {
    const TokenEnd end =
        collectToken(state.position, out, size, [](char) -> const char* { return nullptr; });
    if (end == TokenEnd::tooLong) scriptLimitError(ScriptLimit::tokenLength, currentLine());
    if (end == TokenEnd::atEnd) scriptLimitError(ScriptLimit::tokenAtEnd, currentLine());
}

int ScriptEngine::readInt() {
    char token[kNumberTokenSize];
    readRaw(token, sizeof token);
    const long value = std::strtol(token, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float ScriptEngine::readFloat() {
    char token[kNumberTokenSize];
    readRaw(token, sizeof token);
    const double value = std::strtod(token, nullptr);
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

const char* ScriptEngine::readString(const char* suffix) {
    const TokenEnd end = collectToken(state.position, stringBuffer_, sizeof stringBuffer_,
                                      [this](char selector) { return substitution(selector); });
    if (end == TokenEnd::tooLong) scriptLimitError(ScriptLimit::tokenLength, currentLine());
    if (end == TokenEnd::atEnd) scriptLimitError(ScriptLimit::tokenAtEnd, currentLine());
    if (suffix) {
        const size_t n = std::strlen(stringBuffer_);
        const size_t extra = std::strlen(suffix);
        if (n + extra > sizeof stringBuffer_ - 1)
            scriptLimitError(ScriptLimit::tokenLength, currentLine());
        std::memcpy(stringBuffer_ + n, suffix, extra + 1);
    }
    return stringBuffer_;
}

// ---- labels, calls and returns

void ScriptEngine::jumpTo(const char* label) {
    ScriptState& s = state;
    char target[kStringTokenSize];
    copyBounded(target, sizeof target, label);
    // Every ":" counts, also one in a comment, a skipped block or message text; the first label
    // of the name in the text wins. The index is built once per script text (and names).
    const ScriptLabelIndex::ReadLabel read = [this](const char* at, const char** name) {
        const char* after = at;
        const TokenEnd end = collectToken(after, stringBuffer_, sizeof stringBuffer_,
                                          [this](char selector) { return substitution(selector); });
        *name = stringBuffer_;
        return end == TokenEnd::ok ? after : nullptr;
    };
    const char* found = nullptr;
    if (s.scriptText && s.scriptStart == s.scriptText.get()) {
        if (!labels_.isFor(s.scriptText)) labels_.build(s.scriptText, read);
        found = labels_.find(target, read);
    } else {
        // A start that is not the owned text's (set by hand): scan it.
        for (const char* colon = s.scriptStart ? std::strchr(s.scriptStart, ':') : nullptr;
             colon && !found; colon = std::strchr(colon + 1, ':')) {
            const char* name = nullptr;
            const char* after = read(colon + 1, &name);
            if (after && std::strcmp(name, target) == 0) found = after;
        }
    }
    if (found) {
        s.position = found;
        return;
    }
    // Without a label of that name, "SystemExit" starts the scenario again from its top.
    if (std::strcmp(target, "SystemExit") == 0) {
        startFile("script.txt");
        return;
    }
    missingLabelError(target);
}

void ScriptEngine::startFile(const char* name) {
    start(loadFile(name));
    resetFrameTimer();
}

void ScriptEngine::callLabel(const char* label) {
    ScriptState& s = state;
    if (s.callDepth < 0 || s.callDepth > kCallStackSize) brokenStackError();
    if (s.callDepth == kCallStackSize) scriptLimitError(ScriptLimit::callDepth, currentLine());
    s.callStack[s.callDepth] = ScriptCallFrame{s.scriptText, s.position};
    ++s.callDepth;
    jumpTo(label);
}

void ScriptEngine::returnFromCall() {
    ScriptState& s = state;
    if (s.callDepth < 1 || s.callDepth > kCallStackSize) brokenStackError();
    --s.callDepth;
    ScriptCallFrame& frame = s.callStack[s.callDepth];
    if (frame.text && frame.text != s.scriptText) {
        // The call was made from a script that has been replaced since: go back into it.
        s.scriptText = frame.text;
        s.scriptStart = s.scriptText.get();
        s.resumePosition = nullptr;
    }
    s.position = frame.position;
    frame = ScriptCallFrame{};
}

// ---- choices and clicks

void ScriptEngine::abortChoiceAndJump(const char* label) {
    ScriptState& s = state;
    s.choiceMode = false;
    s.selectedChoice = -1;
    s.choiceCount = 0;
    closeChoiceMenu();
    jumpTo(label);
}

void ScriptEngine::clickAdvance() {
    ScriptState& s = state;
    if (s.waitingForClick) {
        sound().playSystemEffect("se102");
        s.waitingForClick = false;
        s.fastForward = false;
    } else if (!s.fastForward) {
        s.fastForward = true;
    }
}

void ScriptEngine::chooseEntry(int value) {
    sound().playSystemEffect("se101");
    state.selectedChoice = value;
    resetFrameTimer();
}
