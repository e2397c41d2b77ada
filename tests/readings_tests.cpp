#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "sheets/Readings.h"
#include "sheets/StyleSettings.h"

namespace {

struct RealRow {
    const char* text;
    double expected;
};

void PrintTo(const RealRow& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class RealReading : public ::testing::TestWithParam<RealRow> {};

TEST_P(RealReading, TakesTheLongestLeadingDecimal)
{
    EXPECT_EQ(realReading(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, RealReading, ::testing::Values(
    RealRow{"  3.5xyz", 3.5}, RealRow{"-2", -2}, RealRow{"+7", 7}, RealRow{"", 0},
    RealRow{"abc", 0}, RealRow{"1e3", 1000}, RealRow{"1e", 1}, RealRow{"1e+", 1},
    RealRow{"2.5e-1x", 0.25}, RealRow{".5", 0.5}, RealRow{"5.", 5}, RealRow{".", 0},
    RealRow{"-", 0}, RealRow{"\t 4", 4}, RealRow{"0x10", 0}, RealRow{"inf", 0},
    RealRow{"nan", 0}, RealRow{"1.2.3", 1.2}, RealRow{"-.25", -0.25}));

TEST(RealReadingRange, OverflowIsAnInfinityOfTheSameSign)
{
    EXPECT_EQ(realReading("1e400"), HUGE_VAL);
    EXPECT_EQ(realReading("-1e400"), -HUGE_VAL);
}

struct IntegerRow {
    const char* text;
    int expected;
};

void PrintTo(const IntegerRow& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class IntegerReading : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(IntegerReading, TakesSignAndDigits)
{
    EXPECT_EQ(integerReading(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerReading, ::testing::Values(
    IntegerRow{"  3.5xyz", 3}, IntegerRow{"2.5", 2}, IntegerRow{"1e3", 1},
    IntegerRow{"-40", -40}, IntegerRow{"+12", 12}, IntegerRow{"x", 0}, IntegerRow{"", 0},
    IntegerRow{"- 3", 0}, IntegerRow{"2147483647", INT_MAX}, IntegerRow{"-2147483648", INT_MIN},
    IntegerRow{"99999999999999999999", INT_MAX}, IntegerRow{"-99999999999999999999", INT_MIN},
    IntegerRow{"2147483648", INT_MAX}, IntegerRow{"-2147483649", INT_MIN}));

// Each style line's text against the value the page draws with: in its
// range as read, anything else the line's default, 0.
struct StyleRow {
    std::size_t line;
    const char* text;
    int expected;
};

void PrintTo(const StyleRow& r, std::ostream* os) { *os << r.line << " \"" << r.text << '"'; }

class StyleReading : public ::testing::TestWithParam<StyleRow> {};

TEST_P(StyleReading, KeepsEachLineInItsRange)
{
    DataSheet style = defaultStyleSheet();
    buildLine(style[GetParam().line], style[GetParam().line].name, GetParam().text);
    const StyleSettings s = readStyleSettings(style);
    const int read[] = {0, s.lines, s.hidden, s.bands, s.ticks};
    EXPECT_EQ(read[GetParam().line], GetParam().expected);
    for (std::size_t other = StyleLine::lines; other <= StyleLine::ticks; ++other) {
        if (other != GetParam().line) {
            EXPECT_EQ(read[other], 0) << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, StyleReading, ::testing::Values(
    StyleRow{StyleLine::lines, "1", 1}, StyleRow{StyleLine::lines, "2", 2},
    StyleRow{StyleLine::lines, "3", 0}, StyleRow{StyleLine::lines, "-1", 0},
    StyleRow{StyleLine::lines, "2.9", 2}, StyleRow{StyleLine::lines, "x", 0},
    StyleRow{StyleLine::hidden, "1", 1}, StyleRow{StyleLine::hidden, "25", 25},
    StyleRow{StyleLine::hidden, "26", 0}, StyleRow{StyleLine::hidden, "99999999999", 0},
    StyleRow{StyleLine::bands, "1", 0}, StyleRow{StyleLine::bands, "2", 2},
    StyleRow{StyleLine::bands, "64", 64}, StyleRow{StyleLine::bands, "65", 0},
    StyleRow{StyleLine::ticks, "1", 1}, StyleRow{StyleLine::ticks, "2", 0},
    StyleRow{StyleLine::ticks, " 1 tick", 1}));

TEST(StyleReading, AShortSheetReadsAsTheDefaults)
{
    const StyleSettings s = readStyleSettings(DataSheet(2));
    EXPECT_EQ(s.lines + s.hidden + s.bands + s.ticks, 0);
}

} // namespace
