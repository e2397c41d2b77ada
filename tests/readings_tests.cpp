#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "sheets/Readings.h"

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

} // namespace
