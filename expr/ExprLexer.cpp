#include "expr/ExprLexer.h"

#include "sheets/CNumber.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

ExprLexer::ExprLexer(const char* text) : start_(text), position_(text)
{
    advance();
}

void ExprLexer::advance()
{
    while (*position_ == ' ' || *position_ == '\t')
        ++position_;
    const char c = *position_;
    if (c == '\0')
        kind_ = TokenKind::End;
    else if (isLetter(c))
        scanName();
    else if (isDigit(c) || c == '.')
        scanNumber();
    else
        scanSymbol();
}

void ExprLexer::scanName()
{
    tokenBuffer_.clear();
    while (isLetter(*position_) || isDigit(*position_))
        tokenBuffer_.push_back(*position_++);
    nameEntry_ = &symbols_.findOrInsert(tokenBuffer_.c_str());
    kind_ = TokenKind::Name;
}

void ExprLexer::collectDigits()
{
    while (isDigit(*position_))
        tokenBuffer_.push_back(*position_++);
}

void ExprLexer::scanNumber()
{
    tokenBuffer_.clear();
    collectDigits();
    if (*position_ == '.') {
        tokenBuffer_.push_back(*position_++);
        collectDigits();
    }
    if (*position_ == 'e' || *position_ == 'E') {
        tokenBuffer_.push_back(*position_++);
        if (*position_ == '+' || *position_ == '-')
            tokenBuffer_.push_back(*position_++);
        collectDigits();
    }
    const char* end = nullptr;
    numberValue_ = parseCNumber(tokenBuffer_.c_str(), &end);
    if (end != tokenBuffer_.c_str() + tokenBuffer_.size())
        recordError("Error in number");
    kind_ = TokenKind::Number;
}

void ExprLexer::scanSymbol()
{
    switch (*position_++) {
    case '(': kind_ = TokenKind::LeftParen; break;
    case ')': kind_ = TokenKind::RightParen; break;
    case '*': kind_ = TokenKind::Star; break;
    case '+': kind_ = TokenKind::Plus; break;
    case '-': kind_ = TokenKind::Minus; break;
    case '/': kind_ = TokenKind::Slash; break;
    case '^': kind_ = TokenKind::Caret; break;
    case '|': kind_ = TokenKind::Bar; break;
    default:
        recordError("Illegal character");
        kind_ = TokenKind::Bad;
    }
}

void ExprLexer::recordError(const char* message)
{
    if (!ok_)
        return;
    ok_ = false;
    diagnostic_.assign(start_, position_);
    if (*position_ != '\0')
        diagnostic_.push_back(*position_);
    diagnostic_ += "  ";
    diagnostic_ += message;
    diagnostic_ += '.';
}
