#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "expr/ExprLexer.h"

namespace {

// The token stream of a text as "Name:x Number:2 Bad End".
std::string tokens(const char* text)
{
    ExprLexer lexer(text);
    std::ostringstream out;
    for (int guard = 0; guard < 100; ++guard) {
        switch (lexer.kind()) {
        case TokenKind::Bad: out << "Bad "; break;
        case TokenKind::End: out << "End"; return out.str();
        case TokenKind::Name: out << "Name:" << lexer.nameEntry()->name << ' '; break;
        case TokenKind::Number: out << "Number:" << lexer.numberValue() << ' '; break;
        case TokenKind::Plus: out << "+ "; break;
        case TokenKind::Minus: out << "- "; break;
        case TokenKind::Star: out << "* "; break;
        case TokenKind::Slash: out << "/ "; break;
        case TokenKind::Caret: out << "^ "; break;
        case TokenKind::LeftParen: out << "( "; break;
        case TokenKind::RightParen: out << ") "; break;
        case TokenKind::Bar: out << "| "; break;
        }
        lexer.advance();
    }
    return out.str() + "...";
}

struct TokenRow {
    const char* name;
    const char* text;
    const char* tokens;
    const char* diagnostic;
};

class Tokens : public ::testing::TestWithParam<TokenRow> {};

TEST_P(Tokens, ScanAsExpected)
{
    const TokenRow& row = GetParam();
    EXPECT_EQ(tokens(row.text), row.tokens);
    ExprLexer lexer(row.text);
    for (int i = 0; i < 100 && lexer.kind() != TokenKind::End; ++i)
        lexer.advance();
    EXPECT_EQ(lexer.diagnostic(), row.diagnostic);
    EXPECT_EQ(lexer.ok(), std::string(row.diagnostic).empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, Tokens, ::testing::Values(
    TokenRow{"empty", "", "End", ""},
    TokenRow{"blanks", " \t  ", "End", ""},
    TokenRow{"operators", "+-*/^()|", "+ - * / ^ ( ) | End", ""},
    TokenRow{"noImplicitProduct", "2x", "Number:2 Name:x End", ""},
    TokenRow{"negativeIsTwoTokens", "-2", "- Number:2 End", ""},
    TokenRow{"exponentWithoutDigits", "1e", "Number:1 End", "1e  Error in number."},
    TokenRow{"exponentSignWithoutDigits", "1e+", "Number:1 End", "1e+  Error in number."},
    TokenRow{"upperExponentSign", "1E-", "Number:1 End", "1E-  Error in number."},
    TokenRow{"loneStop", ".", "Number:0 End", ".  Error in number."},
    TokenRow{"stopExponent", ".e5", "Number:0 End", ".e5  Error in number."},
    TokenRow{"fraction", ".5", "Number:0.5 End", ""},
    TokenRow{"trailingStop", "5.", "Number:5 End", ""},
    TokenRow{"stopThenExponent", "1.e5", "Number:100000 End", ""},
    TokenRow{"smallExponent", "1.5e-3", "Number:0.0015 End", ""},
    TokenRow{"secondStop", "1.2.3", "Number:1.2 Number:0.3 End", ""},
    TokenRow{"caseSensitive", "Sin sin X", "Name:Sin Name:sin Name:X End", ""},
    TokenRow{"underscore", "a_b", "Name:a Bad Name:b End", "a_b  Illegal character."},
    TokenRow{"comma", "x,y", "Name:x Bad Name:y End", "x,y  Illegal character."},
    TokenRow{"semicolon", ";", "Bad End", ";  Illegal character."},
    TokenRow{"carriageReturn", "x\r", "Name:x Bad End", "x\r  Illegal character."},
    TokenRow{"lineFeed", "\n", "Bad End", "\n  Illegal character."},
    TokenRow{"scanGoesOn", "x $ y", "Name:x Bad Name:y End", "x $   Illegal character."},
    TokenRow{"onlyFirstErrorCounts", "1e $", "Number:1 Bad End", "1e   Error in number."},
    TokenRow{"nonAscii", "x\xc3\xa9", "Name:x Bad Bad End", "x\xc3\xa9  Illegal character."},
    TokenRow{"namesWithDigits", "x2y+a1", "Name:x2y + Name:a1 End", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lexer, DiagnosticEndsAtTheScanPosition)
{
    ExprLexer lexer("a$bc");
    lexer.advance();
    EXPECT_EQ(lexer.diagnostic(), "a$b  Illegal character.");
}

TEST(Lexer, EndRepeatsForever)
{
    ExprLexer lexer("x");
    lexer.advance();
    lexer.advance();
    lexer.advance();
    EXPECT_EQ(lexer.kind(), TokenKind::End);
}

TEST(Lexer, NamesAreEnteredOnceWithValueZero)
{
    ExprLexer lexer("x y x");
    SymbolEntry* first = lexer.nameEntry();
    lexer.advance();
    lexer.advance();
    EXPECT_EQ(lexer.nameEntry(), first);
    EXPECT_EQ(lexer.symbols().size(), 2u);
    EXPECT_EQ(first->value, 0.0);
}

TEST(Lexer, HugeNumbersAreInfinityWithoutError)
{
    ExprLexer lexer("1e999");
    EXPECT_EQ(lexer.numberValue(), HUGE_VAL);
    EXPECT_TRUE(lexer.ok());
}

TEST(Lexer, TokensLongerThanTheBufferAreWhole)
{
    const std::string name(5000, 'q');
    ExprLexer lexer(name.c_str());
    EXPECT_EQ(lexer.nameEntry()->name, name);
    const std::string number(400, '9');
    ExprLexer numbers(number.c_str());
    EXPECT_TRUE(numbers.ok());
    EXPECT_EQ(numbers.numberValue(), HUGE_VAL);
}

} // namespace
