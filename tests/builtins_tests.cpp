#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "expr/Builtins.h"
#include "expr/ExpBlock.h"
#include "expr/SymbolTable.h"

namespace {

struct ValueRow {
    const char* name;
    double x;
    double expected;
};

void PrintTo(const ValueRow& row, std::ostream* os) { *os << row.name << '(' << row.x << ')'; }

class BuiltinValues : public ::testing::TestWithParam<ValueRow> {};

TEST_P(BuiltinValues, EachNameComputesItsFunction)
{
    const ValueRow& row = GetParam();
    const Builtin* f = findBuiltin(row.name);
    ASSERT_NE(f, nullptr) << row.name;
    EXPECT_STREQ(f->name, row.name);
    EXPECT_DOUBLE_EQ(f->function(row.x), row.expected);
    EXPECT_TRUE(f->inDomain == nullptr || f->inDomain(row.x)) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Builtins, BuiltinValues, ::testing::Values(
    ValueRow{"sin", 0.5, std::sin(0.5)}, ValueRow{"cos", 0.5, std::cos(0.5)},
    ValueRow{"tan", 0.5, std::tan(0.5)}, ValueRow{"atan", 2, std::atan(2.0)},
    ValueRow{"exp", -1.5, std::exp(-1.5)}, ValueRow{"log", 2, std::log(2.0)},
    ValueRow{"sqrt", 2, std::sqrt(2.0)}, ValueRow{"cosh", 0.7, std::cosh(0.7)},
    ValueRow{"sinh", 0.7, std::sinh(0.7)}, ValueRow{"tanh", 0.7, std::tanh(0.7)},
    ValueRow{"fabs", -3.25, 3.25}, ValueRow{"step", -0.5, 0}, ValueRow{"step", 0, 1},
    ValueRow{"step", 2, 1}));

TEST(Builtins, TwelveInTheirOrder)
{
    std::string names;
    for (const Builtin& builtin : builtins())
        names += std::string(builtin.name) + ' ';
    EXPECT_EQ(names, "sin cos tan atan exp log sqrt cosh sinh tanh fabs step ");
}

TEST(Builtins, OtherNamesAreNotBuiltIn)
{
    for (const char* name : {"pow", "Sin", "SIN", "sin ", "abs", "ln", "", "x"})
        EXPECT_EQ(findBuiltin(name), nullptr) << '"' << name << '"';
}

struct DomainRow {
    const char* name;
    double x;
    bool defined;
};

void PrintTo(const DomainRow& r, std::ostream* os) { *os << r.name << '(' << r.x << ')'; }

class Domains : public ::testing::TestWithParam<DomainRow> {};

TEST_P(Domains, OnlyLogAndSqrtHaveOne)
{
    const DomainRow& row = GetParam();
    const Builtin* f = findBuiltin(row.name);
    const bool defined = f->inDomain == nullptr || f->inDomain(row.x);
    EXPECT_EQ(defined, row.defined);
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Arguments, Domains, ::testing::Values(
    DomainRow{"log", 0, false}, DomainRow{"log", -0.0, false}, DomainRow{"log", -1, false},
    DomainRow{"log", nan, false}, DomainRow{"log", 1e-300, true},
    DomainRow{"log", INFINITY, true}, DomainRow{"sqrt", -2.5, false},
    DomainRow{"sqrt", -1e-300, false}, DomainRow{"sqrt", nan, false},
    DomainRow{"sqrt", 0, true}, DomainRow{"sqrt", -0.0, true}, DomainRow{"exp", nan, true},
    DomainRow{"sin", INFINITY, true}, DomainRow{"step", nan, true},
    DomainRow{"atan", -INFINITY, true}));

TEST(Builtins, DivisionFailsOnZeroAndNotANumber)
{
    for (double divisor : {0.0, -0.0, nan})
        EXPECT_FALSE(divides(divisor)) << divisor;
    for (double divisor : {1e-300, -3.0, std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(divides(divisor)) << divisor;
}

TEST(Builtins, UncheckedFunctionsPassInfinitiesAndNaNOn)
{
    EXPECT_EQ(findBuiltin("exp")->function(1000), INFINITY);
    EXPECT_EQ(findBuiltin("cosh")->function(1000), INFINITY);
    EXPECT_TRUE(std::isnan(findBuiltin("sin")->function(INFINITY)));
    EXPECT_EQ(findBuiltin("step")->function(std::nan("")), 0);
    EXPECT_EQ(findBuiltin("sqrt")->function(0), 0);
    EXPECT_EQ(findBuiltin("sqrt")->function(-0.0), 0);
}

TEST(SymbolTable, FindOrInsertKeepsEntriesAndValues)
{
    SymbolTable table;
    SymbolEntry& m = table.findOrInsert("m");
    m.value = 3;
    table.findOrInsert("a");
    table.findOrInsert("z");
    EXPECT_EQ(&table.findOrInsert("m"), &m);
    EXPECT_EQ(m.value, 3);
    EXPECT_EQ(table.find("a")->value, 0);
    EXPECT_EQ(table.find("z")->name, "z");
    EXPECT_EQ(table.find("b"), nullptr);
    EXPECT_EQ(table.size(), 3u);
}

TEST(SymbolTable, SetValueNeverMakesEntries)
{
    SymbolTable table;
    table.findOrInsert("x");
    table.setValue("a", 5);
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.find("a"), nullptr);
    table.setValue("x", 2);
    EXPECT_EQ(table.find("x")->value, 2);
}

TEST(SymbolTable, ListShapedTablesReleaseWithoutRecursion)
{
    auto table = std::make_unique<SymbolTable>();
    for (int i = 0; i < 20000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "v%06d", i);
        table->findOrInsert(name);
    }
    EXPECT_EQ(table->size(), 20000u);
    table.reset();
}

} // namespace

namespace {

// exp over a block gives the library's bits at every point, four at a
// time or not: points spread over a range (each nudged off round values),
// in place or not, in blocks whose length leaves every remainder.
struct ExpRange {
    const char* name;
    double from, to;
};

class ExpBlocks : public ::testing::TestWithParam<ExpRange> {};

TEST_P(ExpBlocks, AreTheLibrarysExpBitForBit)
{
    const ExpRange& range = GetParam();
    constexpr std::size_t count = 40003;
    std::vector<double> x(count), out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double nudge = static_cast<double>((i * 40503u) % 65537u) / 65537.0;
        x[i] = range.from + (range.to - range.from) * (static_cast<double>(i) + nudge) / count;
    }
    const auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    std::size_t start = 0;
    for (std::size_t length = 0; start + length <= count; start += length, length = (length + 1) % 11)
        expBlock(x.data() + start, out.data() + start, length);
    expBlock(x.data() + start, out.data() + start, count - start);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_TRUE(same(out[i], std::exp(x[i]))) << std::hexfloat << x[i];
    std::vector<double> inPlace = x;
    expBlock(inPlace.data(), inPlace.data(), count);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_TRUE(same(inPlace[i], out[i])) << std::hexfloat << x[i];
}

INSTANTIATE_TEST_SUITE_P(Ranges, ExpBlocks, ::testing::Values(
    ExpRange{"defaultPage", -20, 0}, ExpRange{"aroundZero", -1, 1},
    ExpRange{"tiny", -0x1p-50, 0x1p-50}, ExpRange{"wholeRange", -760, 720},
    ExpRange{"subnormalResults", -746, -700}, ExpRange{"overflowing", 700, 712},
    ExpRange{"largeSteps", -520, 520}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpBlocks, SpecialPointsAmongOrdinaryOnes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double points[] = {0.0, -0.0, inf, -inf, std::nan(""), -std::nan(""), 0x1p-1074, 511.9,
                             512.0, -512.0, 709.78, 709.79, -745.13, -745.14, 1e300, -1e300};
    for (const double special : points) {
        double x[8] = {-1.5, special, 0.25, -3.0, special, -7.5, 2.0, special};
        double out[8];
        expBlock(x, out, 8);
        for (int i = 0; i < 8; ++i) {
            const double library = std::exp(x[i]);
            EXPECT_EQ(std::memcmp(&library, &out[i], sizeof library), 0) << x[i];
        }
    }
}

// Where glibc computes exp with FMA, the four-wide loop stands in for it.
TEST(ExpBlocks, FourAtATimeWhereTheProcessorHasAvx2AndFma)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        EXPECT_TRUE(fourWideExp());
    }
#endif
}

} // namespace
