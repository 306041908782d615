// The fatal script errors and their texts.
#include "game/script_errors.h"

#include <cstdio>
#include <string>

#include "platform/encoding.h"
#include "platform/message_box.h"

namespace {
constexpr const char* kRuntimeCaption = "script runtime error";

[[noreturn]] void fail(const std::string& cp932Text, const char* caption) {
    fatalError(cp932Text.c_str(), caption);
}

const char* limitText(ScriptLimit limit) {
    switch (limit) {
        case ScriptLimit::messageText:
            return "メッセージが長すぎます。";
        case ScriptLimit::nameLine:
            return "名前が長すぎます。";
        case ScriptLimit::choiceCount:
            return "選択肢が多すぎます。";
        case ScriptLimit::choiceText:
            return "選択肢の文字列が長すぎます。";
        case ScriptLimit::callDepth:
            return "スタックがあふれました。";
        case ScriptLimit::variableIndex:
            return "変数番号 %d は範囲外です。";
        case ScriptLimit::tokenLength:
            return "引数が長すぎます。";
        case ScriptLimit::tokenAtEnd:
            return "引数の途中でスクリプトが終わっています。";
        case ScriptLimit::commandAtEnd:
            return "コマンドの途中でスクリプトが終わっています。";
        case ScriptLimit::blockAtEnd:
            return "$ ブロックが閉じられていません。";
    }
    return "";
}
}  // namespace

void unknownCommandError(char letter) {
    char text[128];
    std::snprintf(text, sizeof text, utf8ToCp932("未知のコマンド %%%c を見つけました。").c_str(),
                  letter);
    fail(text, "TR2 System");
}

void missingLabelError(const char* label) {
    const std::string format = utf8ToCp932("指定されたジャンプ先 '%s' が見つかりません。");
    std::string text(format.size() + std::char_traits<char>::length(label), '\0');
    const int n = std::snprintf(text.data(), text.size() + 1, format.c_str(), label);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    fail(text, kRuntimeCaption);
}

void brokenStackError() {
    fail(utf8ToCp932("スタックが異常です。"), kRuntimeCaption);
}

void scriptLimitError(ScriptLimit limit, int line, int value) {
    char text[256];
    int n = std::snprintf(text, sizeof text, utf8ToCp932(limitText(limit)).c_str(), value);
    if (line > 0 && n > 0 && static_cast<size_t>(n) < sizeof text)
        std::snprintf(text + n, sizeof text - n, utf8ToCp932("(%d 行目)").c_str(), line);
    fail(text, kRuntimeCaption);
}
