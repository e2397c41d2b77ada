#pragma once
#include <string>

// The questions asked before a picture and the notes told after it, by
// kind: whoever answers (a message box, a tool, a test) knows which one it
// is without reading its text.
enum class Prompt {
    ParseWarning,
    SpoolerUnreachable,
    NoPrinter,
    PrintTo,
    Colour,
    PrintFailed,
    PrintFinished,
};
enum class PromptAnswer { Ok, Yes, No };

// PrintTo and Colour are Yes/No questions; every other prompt is a note
// with one OK button.
constexpr bool isQuestion(Prompt kind)
{
    return kind == Prompt::PrintTo || kind == Prompt::Colour;
}

// A window that shows prompts as its own modal boxes.
class Prompter {
public:
    // Shows the box (text, caption) and returns the answer; notes return Ok.
    virtual PromptAnswer ask(Prompt kind, const std::string& text, const std::string& caption) = 0;

protected:
    ~Prompter() = default;
};
