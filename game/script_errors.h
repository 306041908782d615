// The fatal script errors: a message box, then exit code -1.
#pragma once

[[noreturn]] void unknownCommandError(char letter);
[[noreturn]] void missingLabelError(const char* label);
[[noreturn]] void brokenStackError();

// Limits of the engine that a script overstepped. `line` (from 1) is named when it is known.
enum class ScriptLimit {
    messageText,
    nameLine,
    choiceCount,
    choiceText,
    callDepth,
    variableIndex,
    tokenLength,
    tokenAtEnd,
    commandAtEnd,
    blockAtEnd,
};
[[noreturn]] void scriptLimitError(ScriptLimit limit, int line, int value = 0);
