#pragma once
#include <string>

#include "expr/SymbolTable.h"
#include "expr/TokenKind.h"

// Splits the text of f(x,y) into tokens, one token of lookahead. Enters
// every name it meets into its own SymbolTable. Never throws: the first
// error clears ok and scanning goes on.
class ExprLexer {
public:
    explicit ExprLexer(const char* text);

    void advance();
    void recordError(const char* message);

    TokenKind kind() const { return kind_; }
    SymbolEntry* nameEntry() const { return nameEntry_; }
    double numberValue() const { return numberValue_; }
    bool ok() const { return ok_; }
    SymbolTable& symbols() { return symbols_; }
    const SymbolTable& symbols() const { return symbols_; }

    // The text up to and including the scan position at the first error,
    // two blanks, the message and a full stop; empty while ok.
    const std::string& diagnostic() const { return diagnostic_; }

private:
    void scanName();
    void scanNumber();
    void scanSymbol();
    void collectDigits();

    SymbolTable symbols_;
    TokenKind kind_ = TokenKind::Bad;
    SymbolEntry* nameEntry_ = nullptr;
    double numberValue_ = 0.0;
    const char* start_;
    const char* position_;
    // Holds the current Name or Number; grows with the token, so a token
    // of any length fits.
    std::string tokenBuffer_;
    bool ok_ = true;
    std::string diagnostic_;
};
