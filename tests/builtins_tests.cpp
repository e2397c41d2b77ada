#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

#include "expr/Builtins.h"
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
