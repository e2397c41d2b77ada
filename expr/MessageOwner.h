#pragma once
#include <string>

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A window that can own a modal message box. The core asks its questions
// and shows its warnings through this; the desktop program answers with
// a real message box, tests with a recorder.
class MessageOwner {
public:
    virtual MessageAnswer messageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons) = 0;

protected:
    ~MessageOwner() = default;
};
