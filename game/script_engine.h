// The script engine: types the scenario text page by page and runs its commands.
#pragma once

#include <cstdint>
#include <memory>

#include "game/script_labels.h"
#include "game/sound_requests_interface.h"

constexpr int kMessageTextSize = 768;  // bytes, with the final NUL
constexpr int kNameLineSize = 128;     // bytes, with the final NUL
constexpr int kMaxChoices = 8;
constexpr int kChoiceCaptionSize = 64;  // bytes, with the final NUL
constexpr int kChoiceLabelSize = 32;    // bytes, with the final NUL
constexpr int kCallStackSize = 16;
constexpr int kVariableCount = 256;
constexpr int kNumberTokenSize = 32;   // 31 bytes and the NUL
constexpr int kStringTokenSize = 256;  // 255 bytes and the NUL
constexpr int kNameSize = 33;          // a name as the settings hold it: 32 bytes and the NUL
constexpr int kSubstitutionSize = kNameSize + 2;

constexpr float kTypingMs = 42.666668f;  // game time per double-byte character
constexpr int kLineWidth = 25;           // double-byte characters per line

struct ScriptChoice {
    char caption[kChoiceCaptionSize];
    char label[kChoiceLabelSize];
};

// A return position and the script text it lies in; the frame keeps that text alive, so a return
// after another script has been started still lands in valid text.
struct ScriptCallFrame {
    std::shared_ptr<char> text;
    const char* position = nullptr;
};

// The engine's fields. The game object, the message window and the keys read and write them.
struct ScriptState {
    std::shared_ptr<char> scriptText;               // owned, NUL-terminated Shift-JIS
    const char* scriptStart = nullptr;              // labels are searched from here
    const char* position = nullptr;                 // next byte to interpret
    const char* resumePosition = nullptr;           // where the script goes on after a substitution
    char substitutions[4][kSubstitutionSize] = {};  // "&0" to "&3"
    char messageText[kMessageTextSize] = {};
    char nameLine[kNameLineSize] = {};
    int32_t column = 0;   // double-byte characters on the current line
    float textTimer = 0;  // typing credit in milliseconds
    bool clickWaitArmed = false;
    bool waitingForClick = false;
    ScriptChoice choices[kMaxChoices] = {};
    int32_t choiceCount = 0;
    bool choiceMode = false;
    bool skip = false;         // written by the game every frame
    bool fastForward = false;  // a click while typing
    int32_t selectedChoice = -1;
    int32_t choiceCursor = 0;
    int32_t variables[kVariableCount] = {};
    bool inputEnabled = true;
    bool messageWindowShown = false;
    bool gaugesEnabled = false;
    int32_t callDepth = 0;
    ScriptCallFrame callStack[kCallStackSize];
    float waitTimer = 0;  // seconds; waiting while >= 0
};

class ScriptEngine {
public:
    ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // Runs the command whose letter stands at the current position; 0 when handled, nonzero
    // for an unknown letter (the position is then back on the letter).
    virtual int executeCommand();
    virtual void reservedHook() {}
    virtual void openChoiceMenu() {}
    virtual void closeChoiceMenu() {}
    // Called where a long load must not count as game time; the game resets its frame timer.
    virtual void resetFrameTimer() {}
    virtual ~ScriptEngine();

    void reset();
    // Takes ownership of a malloc'd NUL-terminated text (as loadFile returns it).
    void start(char* text);
    void run(float elapsedMs);

    int readInt();
    float readFloat();
    // The next token with "&" substitutions and `suffix` appended; valid until the next call.
    const char* readString(const char* suffix = nullptr);

    void jumpTo(const char* label);
    void callLabel(const char* label);
    void returnFromCall();
    void abortChoiceAndJump(const char* label);
    void clickAdvance();
    void chooseEntry(int value);

    // Loads a script by name from the archives and starts it (a missing file ends the program).
    void startFile(const char* name);

    // Builds "&0" to "&3" from the player's and the heroine's names (CP932, cut to 32 bytes).
    void setNames(const char* player, const char* heroine);

    // Where sound requests go; null restores the real ones.
    void setSoundRequests(SoundRequests* requests);
    SoundRequests& sound() const { return *sound_; }

    // The script line (from 1) of the current position, 0 when it is not in the script text.
    int currentLine() const;

    ScriptState state;

private:
    void interpret();
    void typeText();
    void beginSubstitution();
    void skipBlock();
    void appendMessage(const char* bytes, size_t count);
    void clickWait(char letter, const char* percent);
    void newSpeaker(const char* name);
    void addChoice();
    void setVariable();
    void conditionalJump();
    void startChoice();
    int32_t& variable(int index);
    const char* substitution(char selector) const;
    void readRaw(char* out, size_t size);

    char stringBuffer_[kStringTokenSize] = {};
    SoundRequests* sound_;
    ScriptLabelIndex labels_;
};
