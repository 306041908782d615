// The engine's own commands: text and pages, choices, variables, jumps, waits and sound.
#include <cstring>

#include "game/script_engine.h"
#include "game/script_errors.h"

namespace {
constexpr float kSixtieth = 0.016666668f;

void copyText(char* out, const char* in, size_t size) {
    const size_t n = strnlen(in, size - 1);
    std::memcpy(out, in, n);
    out[n] = '\0';
}
}  // namespace

int ScriptEngine::executeCommand() {
    ScriptState& s = state;
    const char* letterAt = s.position;
    const char letter = *s.position++;
    switch (letter) {
        case 'E':
            conditionalJump();
            return 0;
        case 'G':
            startFile(readString(".txt"));
            return 0;
        case 'I':
            startChoice();
            return 0;
        case 'i':
            addChoice();
            return 0;
        case 'J':
            jumpTo(readString());
            return 0;
        case 'L':
            callLabel(readString());
            return 0;
        case 'l':
            returnFromCall();
            return 0;
        case 'K':
        case 'k':
            clickWait(letter, letterAt - 1);
            return 0;
        case 'R':
            copyText(s.messageText, s.nameLine, kNameLineSize);
            s.column = 0;
            s.textTimer = 0;
            s.clickWaitArmed = false;
            return 0;
        case 'r':
            appendMessage("\n", 1);
            s.column = 0;
            return 0;
        case 'n':
            newSpeaker(readString());
            return 0;
        case 'S':
            setVariable();
            return 0;
        case 'W':
            if (*s.position == 'G') {
                ++s.position;
                s.gaugesEnabled = readInt() != 0;
            } else {
                s.messageWindowShown = readInt() != 0;
            }
            return 0;
        case 'w':
            s.waitTimer = static_cast<float>(readInt()) * kSixtieth;
            return 0;
        case 'M': {
            const char channel = *s.position;
            if (channel == 'A' || channel == 'S') ++s.position;
            const char* name = readString();
            readInt();  // a volume that has no effect
            if (channel == 'A')
                sound().playLoopEffect(name);
            else if (channel == 'S')
                sound().playEffect(name);
            else
                sound().playMusic(name);
            return 0;
        }
        default:
            s.position = letterAt;
            return 1;
    }
}

// A click wait runs twice: the first pass stops the engine on the "%", the second (after a click
// or with skip) ends the line or the page.
void ScriptEngine::clickWait(char letter, const char* percent) {
    ScriptState& s = state;
    if (!s.clickWaitArmed) {
        s.clickWaitArmed = true;
        s.waitingForClick = true;
        appendMessage("\r", 1);
        s.position = percent;
        return;
    }
    if (letter == 'k')
        appendMessage("\n", 1);
    else
        copyText(s.messageText, s.nameLine, kNameLineSize);
    s.clickWaitArmed = false;
    s.column = 0;
    s.textTimer = 0;
}

void ScriptEngine::newSpeaker(const char* name) {
    ScriptState& s = state;
    s.messageText[0] = '\0';
    const size_t n = std::strlen(name);
    if (n == 0) {
        s.nameLine[0] = '\0';
    } else {
        if (n + 4 > kNameLineSize) scriptLimitError(ScriptLimit::nameLine, currentLine());
        s.nameLine[0] = '_';
        std::memcpy(s.nameLine + 1, name, n);
        std::memcpy(s.nameLine + 1 + n, "\r\n", 3);
    }
    copyText(s.messageText, s.nameLine, kNameLineSize);
    s.column = 0;
}

void ScriptEngine::startChoice() {
    ScriptState& s = state;
    s.choiceCursor = 0;
    s.choiceMode = true;
    s.messageWindowShown = false;
    s.selectedChoice = -1;
    s.skip = false;
    openChoiceMenu();
}

void ScriptEngine::addChoice() {
    ScriptState& s = state;
    char caption[kStringTokenSize];
    copyText(caption, readString(), sizeof caption);
    const char* label = readString();
    if (s.choiceCount < 0 || s.choiceCount >= kMaxChoices)
        scriptLimitError(ScriptLimit::choiceCount, currentLine());
    if (std::strlen(caption) >= kChoiceCaptionSize || std::strlen(label) >= kChoiceLabelSize)
        scriptLimitError(ScriptLimit::choiceText, currentLine());
    ScriptChoice& entry = s.choices[s.choiceCount];
    std::strcpy(entry.caption, caption);
    std::strcpy(entry.label, label);
    ++s.choiceCount;
}

int32_t& ScriptEngine::variable(int index) {
    if (index < 0 || index >= kVariableCount)
        scriptLimitError(ScriptLimit::variableIndex, currentLine(), index);
    return state.variables[index];
}

void ScriptEngine::setVariable() {
    const int index = readInt();
    char op[kStringTokenSize];
    copyText(op, readString(), sizeof op);
    const int n = readInt();
    int32_t& v = variable(index);
    // Wrapping arithmetic: a script can count past the 32-bit range without harm.
    if (std::strcmp(op, "=") == 0)
        v = n;
    else if (std::strcmp(op, "+") == 0)
        v = static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(n));
    else if (std::strcmp(op, "-") == 0)
        v = static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(n));
}

void ScriptEngine::conditionalJump() {
    const int index = readInt();
    char op[kStringTokenSize];
    copyText(op, readString(), sizeof op);
    const int n = readInt();
    const char* label = readString();
    const int32_t v = variable(index);
    bool holds = false;
    if (std::strcmp(op, "=") == 0)
        holds = v == n;
    else if (std::strcmp(op, "!=") == 0)
        holds = v != n;
    else if (std::strcmp(op, ">") == 0)
        holds = v > n;
    else if (std::strcmp(op, ">=") == 0)
        holds = v >= n;
    else if (std::strcmp(op, "<") == 0)
        holds = v < n;
    if (holds) jumpTo(label);
}
