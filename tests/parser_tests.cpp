#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "expr/ExprParser.h"

namespace {

// The value of the last parse with the variables as they are set.
double valueOf(const ExprParser& parser)
{
    return parser.compile().at(0, 0);
}

struct ValueRow {
    const char* text;
    double expected;
};

void PrintTo(const ValueRow& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class Values : public ::testing::TestWithParam<ValueRow> {};

TEST_P(Values, ParseAndEvaluate)
{
    ExprParser parser;
    ASSERT_TRUE(parser.parse(GetParam().text)) << parser.diagnostic();
    EXPECT_DOUBLE_EQ(valueOf(parser), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, Values, ::testing::Values(
    ValueRow{"8/2/2", 2}, ValueRow{"2-3-4", -5}, ValueRow{"2+3*4^2", 50},
    ValueRow{"-2^2", -4}, ValueRow{"-2*3", -6}, ValueRow{"(-2)^2", 4},
    ValueRow{"(2^3)^2", 64}, ValueRow{"2^(3^2)", 512}, ValueRow{"2*(-3)", -6},
    ValueRow{"x^(-1)", INFINITY}, ValueRow{"|-3|", 3}, ValueRow{"fabs(-3)", 3},
    ValueRow{"||-2||", 2}, ValueRow{"pi", 0}, ValueRow{"t+1", 1}, ValueRow{"sin", 0},
    ValueRow{"1/0", 0}, ValueRow{"1/(x-x)", 0}, ValueRow{"1/((-1)^0.5)", 0},
    ValueRow{"log(0)", 0}, ValueRow{"log(-1)", 0}, ValueRow{"sqrt(-1)", 0},
    ValueRow{"sqrt(0)", 0}, ValueRow{"log(1)", 0}, ValueRow{"step(0)", 1},
    ValueRow{"step(-0.001)", 0}, ValueRow{"1+log(-1)", 0}, ValueRow{" 2 \t* 3 ", 6},
    ValueRow{"exp(0)+cos(0)+tan(0)+atan(0)+sinh(0)+cosh(0)+tanh(0)", 3},
    ValueRow{"-x", 0}, ValueRow{"1-1/0", 0}));

TEST(Values, PowerPassesNotANumberOn)
{
    ExprParser parser;
    ASSERT_TRUE(parser.parse("(-1)^0.5"));
    EXPECT_TRUE(std::isnan(valueOf(parser)));
    ASSERT_TRUE(parser.parse("exp(1000)+cosh(1000)"));
    EXPECT_EQ(valueOf(parser), INFINITY);
}

struct ErrorRow {
    const char* text;
    const char* diagnostic;
};

void PrintTo(const ErrorRow& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class Errors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(Errors, FirstErrorCounts)
{
    ExprParser parser;
    EXPECT_FALSE(parser.parse(GetParam().text));
    EXPECT_EQ(parser.diagnostic(), GetParam().diagnostic);
}

INSTANTIATE_TEST_SUITE_P(Texts, Errors, ::testing::Values(
    ErrorRow{"2^3^2", "2^3^2  Unexpected character."},
    ErrorRow{"(2^3^2)", "(2^3^2  ')' expected."},
    ErrorRow{"|2^3^2|", "|2^3^2  '|' expected."},
    ErrorRow{"2*-3", "2*-3  Syntax error."},
    ErrorRow{"x^-1", "x^-1  Syntax error."},
    ErrorRow{"--x", "--x  Syntax error."},
    ErrorRow{"+x", "+x  Syntax error."},
    ErrorRow{"", "  Syntax error."},
    ErrorRow{"(x", "(x  ')' expected."},
    ErrorRow{"|x", "|x  '|' expected."},
    ErrorRow{"()", "()  Syntax error."},
    ErrorRow{"sin()", "sin()  Syntax error."},
    ErrorRow{"foo(x)", "foo(x)  Undefined function."},
    ErrorRow{"Sin(x)", "Sin(x)  Undefined function."},
    ErrorRow{"foo(1e)", "foo(1e)  Error in number."},
    ErrorRow{"sin x", "sin x  Unexpected character."},
    ErrorRow{"2x", "2x  Unexpected character."},
    ErrorRow{"x$", "x$  Illegal character."}));

TEST(Parser, BarsAreFabs)
{
    ExprParser parser;
    for (double x : {-4.5, 0.0, 3.0, 7.25}) {
        ASSERT_TRUE(parser.parse("|x-3|"));
        parser.symbols()->setValue("x", x);
        const double bars = valueOf(parser);
        ASSERT_TRUE(parser.parse("fabs(x-3)"));
        parser.symbols()->setValue("x", x);
        EXPECT_EQ(bars, valueOf(parser));
    }
}

TEST(Parser, EveryParseStartsWithFreshVariables)
{
    ExprParser parser;
    ASSERT_TRUE(parser.parse("x"));
    parser.symbols()->setValue("x", 4);
    EXPECT_EQ(valueOf(parser), 4);
    ASSERT_TRUE(parser.parse("x+1"));
    EXPECT_EQ(valueOf(parser), 1);
    EXPECT_FALSE(parser.parse("x+"));
    EXPECT_EQ(parser.symbols()->find("x")->value, 0);
}

TEST(Parser, VariablesTakeTheirValuesWhenCompiled)
{
    ExprParser parser;
    ASSERT_TRUE(parser.parse("a*x+y"));
    parser.symbols()->setValue("a", 3);
    const SymbolTable& symbols = *parser.symbols();
    const Program program = parser.compile({symbols.find("x"), symbols.find("y")});
    parser.symbols()->setValue("a", 100);
    EXPECT_EQ(program.at(2, 1), 3 * 2 + 1) << "a as it was, x and y from the point";
    EXPECT_EQ(valueOf(parser), 0 + 0) << "no inputs: x and y are variables";
    EXPECT_FALSE(parser.parse("a*"));
    EXPECT_TRUE(parser.compile().flat());
    EXPECT_EQ(parser.compile().at(1, 1), 0);
}

TEST(Parser, DeepNestingIsASyntaxErrorNotACrash)
{
    ExprParser parser;
    const std::string parens(100000, '(');
    EXPECT_FALSE(parser.parse(parens.c_str()));
    EXPECT_NE(parser.diagnostic().find("Syntax error."), std::string::npos);
    std::string bars(100000, '|');
    EXPECT_FALSE(parser.parse(bars.c_str()));
    std::string calls;
    for (int i = 0; i < 50000; ++i)
        calls += "sin(";
    EXPECT_FALSE(parser.parse(calls.c_str()));
}

TEST(Parser, NestingWithinTheLimitStillParses)
{
    ExprParser parser;
    const int depth = ExprParser::maxDepth - 1;
    const std::string text = std::string(depth, '(') + "7" + std::string(depth, ')');
    ASSERT_TRUE(parser.parse(text.c_str())) << parser.diagnostic();
    EXPECT_EQ(valueOf(parser), 7);
}

TEST(Parser, LongChainsAreBoundedAndReleaseSafely)
{
    ExprParser parser;
    std::string sum = "1";
    for (int i = 0; i < 100000; ++i)
        sum += "+1";
    EXPECT_FALSE(parser.parse(sum.c_str()));
    std::string shortSum = "1";
    for (int i = 0; i < 1000; ++i)
        shortSum += "+1";
    ASSERT_TRUE(parser.parse(shortSum.c_str()));
    EXPECT_EQ(valueOf(parser), 1001);
}

} // namespace
