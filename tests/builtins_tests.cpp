#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "expr/Builtins.h"
#include "expr/Error.h"
#include "expr/SymbolTable.h"

namespace {

TEST(Builtins, TableHoldsTwelveInOrder)
{
    const char* names[] = {"sin", "cos", "tan", "atan", "exp", "log",
                           "sqrt", "cosh", "sinh", "tanh", "fabs", "step"};
    const BuiltinFunction* const* table = builtinTable();
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_STREQ(table[i]->name(), names[i]);
    EXPECT_EQ(table[12], nullptr);
    EXPECT_EQ(findBuiltin("pow"), nullptr);
    EXPECT_EQ(findBuiltin("Sin"), nullptr);
}

struct DomainRow {
    const char* name;
    double x;
    const char* report;
};

class DomainErrors : public ::testing::TestWithParam<DomainRow> {};

TEST_P(DomainErrors, ThrowWithNameAndArgument)
{
    const DomainRow& row = GetParam();
    try {
        findBuiltin(row.name)->apply(row.x);
        FAIL() << row.name << " did not throw";
    } catch (const Error& error) {
        EXPECT_STREQ(error.name, row.name);
        EXPECT_STREQ(error.report().data(), row.report);
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, DomainErrors, ::testing::Values(
    DomainRow{"log", 0, "Domain error: log(0)"},
    DomainRow{"log", -1, "Domain error: log(-1)"},
    DomainRow{"log", std::numeric_limits<double>::quiet_NaN(), "Domain error: log(nan)"},
    DomainRow{"sqrt", -2.5, "Domain error: sqrt(-2.5)"},
    DomainRow{"sqrt", -1234567.0, "Domain error: sqrt(-1.23457e+06)"},
    DomainRow{"sqrt", std::numeric_limits<double>::quiet_NaN(), "Domain error: sqrt(nan)"}));

TEST(Builtins, UncheckedFunctionsPassInfinitiesAndNaNOn)
{
    EXPECT_EQ(findBuiltin("exp")->apply(1000), INFINITY);
    EXPECT_EQ(findBuiltin("cosh")->apply(1000), INFINITY);
    EXPECT_TRUE(std::isnan(findBuiltin("sin")->apply(INFINITY)));
    EXPECT_EQ(findBuiltin("step")->apply(std::nan("")), 0);
    EXPECT_EQ(findBuiltin("sqrt")->apply(0), 0);
    EXPECT_EQ(findBuiltin("sqrt")->apply(-0.0), 0);
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
    EXPECT_STREQ(table.root()->left->name.c_str(), "a");
    EXPECT_STREQ(table.root()->right->name.c_str(), "z");
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
