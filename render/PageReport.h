#pragma once
#include <optional>
#include <string>

#include "device/PrintService.h"
#include "device/Prompter.h"

// The caption of the box that warns of an f(x,y) that does not parse.
inline constexpr const char* parseWarningCaption = "Parse error: therefore f(x,y) = 0";

// An f(x,y) line that does not parse: its display text, and the parser's
// word on why.
struct ParseFailure {
    std::string line;
    std::string diagnostic;
};

// What the user must be told once a page is drawn. A page asks nothing
// while it is drawn; whoever drew it tells this, each in its own way.
struct PageReport {
    // The page was drawn with f = 0.
    std::optional<ParseFailure> parseFailure;
    // How the printed page fared; none when the page was not printed.
    std::optional<PrintOutcome> printed;
};

// Tells the report in boxes: the parse warning in warningOwner (none: the
// warning is not shown), then the print's note in printOwner.
void tellPage(const PageReport& report, Prompter* warningOwner, Prompter& printOwner);
