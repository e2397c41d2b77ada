#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "sheets/DataSheet.h"
#include "sheets/PlotSettings.h"
#include "sheets/SheetCommit.h"
#include "sheets/Sheets.h"

namespace {

class Defaults : public ::testing::Test {
protected:
    Sheets sheets;
    DataSheet& fdata = sheets.fdata;
    DataSheet& sdata = sheets.sdata;
};

TEST_F(Defaults, FunctionSheetDefaults)
{
    ASSERT_EQ(fdata.size(), 7u);
    EXPECT_STREQ(fdata[0].display, "fdata   = 6");
    EXPECT_STREQ(fdata[1].display, "a = 5");
    EXPECT_STREQ(fdata[5].display, "e = 1");
    EXPECT_STREQ(fdata[6].name, "f(x,y)");
    EXPECT_STREQ(fdata[6].display, "f(x,y) = exp(-(x*x+4*y*y))");
}

TEST_F(Defaults, SettingsSheetDefaultsPutEveryValueAtColumn12)
{
    ASSERT_EQ(sdata.size(), 16u);
    EXPECT_STREQ(sdata[0].display, "sdata     = 15");
    EXPECT_STREQ(sdata[1].display, "x1        = -2");
    EXPECT_STREQ(sdata[15].display, "title     = ");
    for (std::size_t i = 1; i < sdata.size(); ++i) {
        EXPECT_EQ(std::strlen(sdata[i].name), 9u) << i;
        EXPECT_EQ(std::string(sdata[i].display).substr(12), sdata[i].value) << i;
    }
}

TEST_F(Defaults, PlotSettingsFromDefaults)
{
    const PlotSettings s = readPlotSettings(sdata);
    EXPECT_EQ(s.x1, -2);
    EXPECT_EQ(s.x2, 2);
    EXPECT_EQ(s.y1, -2);
    EXPECT_EQ(s.y2, 2);
    EXPECT_EQ(s.z1, 0);
    EXPECT_EQ(s.z2, 1);
    EXPECT_EQ(s.n, 20);
    EXPECT_EQ(s.m, 40);
    EXPECT_EQ(s.k, 10);
    EXPECT_EQ(s.pc, 13);
    EXPECT_EQ(s.fc, 0);
    EXPECT_EQ(s.ax, 0);
    EXPECT_EQ(s.xCentre, 0);
    EXPECT_EQ(s.yCentre, 0);
}

TEST_F(Defaults, PlotSettingsReadMalformedValuesAsZeroOrPrefix)
{
    buildLine(sdata[SettingsLine::x1], "x1       ", "abc");
    buildLine(sdata[SettingsLine::x2], "x2       ", "3");
    buildLine(sdata[SettingsLine::n], "n        ", "2.5");
    buildLine(sdata[SettingsLine::k], "k        ", "1e3");
    buildLine(sdata[SettingsLine::m], "m        ", "");
    const PlotSettings s = readPlotSettings(sdata);
    EXPECT_EQ(s.x1, 0);
    EXPECT_EQ(s.xCentre, 1.5);
    EXPECT_EQ(s.n, 2);
    EXPECT_EQ(s.k, 1);
    EXPECT_EQ(s.m, 0);
}

TEST(Sheets, EachValueHasSheetsOfItsOwn)
{
    Sheets one;
    Sheets two = one;
    buildLine(two.sdata[SettingsLine::pc], "pc       ", "4");
    buildLine(two.fdata[6], "f(x,y)", "x*y");
    EXPECT_EQ(readPlotSettings(one.sdata).pc, 13);
    EXPECT_EQ(readPlotSettings(two.sdata).pc, 4);
    EXPECT_STREQ(one.fdata[6].value, "exp(-(x*x+4*y*y))");
}

TEST(BuildLine, CutsLongValuesAt59AndNeverSpills)
{
    DataLine line;
    std::memset(&line, 'Q', sizeof line);
    const std::string value(80, '7');
    buildLine(line, "x1       ", value.c_str());
    EXPECT_EQ(std::string(line.value), std::string(59, '7'));
    EXPECT_EQ(std::string(line.name), "x1       ");
    EXPECT_EQ(std::string(line.display), "x1        = " + std::string(59, '7'));
}

TEST(BuildLine, TakesItsOwnFieldsAsArguments)
{
    DataLine line;
    buildLine(line, "tilt     ", "15");
    buildLine(line, line.name, "25");
    EXPECT_STREQ(line.display, "tilt      = 25");
    buildLine(line, line.name, line.value);
    EXPECT_STREQ(line.display, "tilt      = 25");
}

TEST(BuildLine, CutsLongNamesAndDisplays)
{
    DataLine line;
    const std::string name(70, 'n');
    buildLine(line, name.c_str(), std::string(59, 'v').c_str());
    EXPECT_EQ(std::strlen(line.name), 39u);
    EXPECT_EQ(std::strlen(line.display), 39u + 3 + 59);
    const std::string longer = std::string(39, 'n') + " = " + std::string(59, 'v');
    EXPECT_EQ(std::string(line.display), longer);
}

// An edited row written back over a line that held name = value.
struct CommitRow {
    const char* name;
    const char* row;
    std::string display;
    std::string value;
};

void PrintTo(const CommitRow& r, std::ostream* os) { *os << '"' << r.row << '"'; }

class RowCommit : public ::testing::TestWithParam<CommitRow> {};

TEST_P(RowCommit, CutsTheValueAfterTheNameAndTheEqualsSign)
{
    const CommitRow& r = GetParam();
    DataLine line;
    buildLine(line, r.name, "-2");
    commitRow(line, r.row);
    EXPECT_EQ(std::string(line.display), r.display);
    EXPECT_EQ(std::string(line.value), r.value);
    EXPECT_STREQ(line.name, r.name);
}

INSTANTIATE_TEST_SUITE_P(Rows, RowCommit, ::testing::Values(
    CommitRow{"x1       ", "x1        = 3", "x1        = 3", "3"},
    CommitRow{"x1       ", "x1        = ", "x1        = ", ""},
    CommitRow{"x1       ", "x1        =", "x1        =", ""},
    CommitRow{"x1       ", "x1 = 3", "x1 = 3", "-2"},
    CommitRow{"x1       ", "", "", "-2"},
    CommitRow{"x1       ", "y9        = 4", "y9        = 4", "4"},
    CommitRow{"x1       ", "x1        =  5 ", "x1        =  5 ", " 5 "},
    CommitRow{"a", "a = 7", "a = 7", "7"},
    CommitRow{"a", "a =", "a =", ""},
    CommitRow{"a", "a=", "a=", "-2"},
    CommitRow{"a", "a=7", "a=7", ""}));

// A value that does not fit is refused whole: the line keeps both texts.
struct LongRow {
    std::size_t valueBytes;
    CommitOutcome outcome;
};

void PrintTo(const LongRow& r, std::ostream* os) { *os << r.valueBytes << " bytes"; }

class LongValue : public ::testing::TestWithParam<LongRow> {};

TEST_P(LongValue, FitsWholeOrLeavesTheLine)
{
    const LongRow& r = GetParam();
    DataLine line;
    buildLine(line, "f(x,y)", "x*y");
    const std::string value(r.valueBytes, '7');
    EXPECT_EQ(commitRow(line, "f(x,y) = " + value), r.outcome);
    const bool written = r.outcome == CommitOutcome::Written;
    EXPECT_EQ(std::string(line.value), written ? value : "x*y");
    EXPECT_EQ(std::string(line.display), written ? "f(x,y) = " + value : "f(x,y) = x*y");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongValue, ::testing::Values(
    LongRow{58, CommitOutcome::Written},
    LongRow{59, CommitOutcome::Written},
    LongRow{60, CommitOutcome::Refused},
    LongRow{63, CommitOutcome::Refused},
    LongRow{200, CommitOutcome::Refused}));

TEST(SheetCommit, NamesTheLinesThatRefusedTheirRows)
{
    DataSheet sheet = defaultFunctionSheet();
    const std::string tooLong(60, '1');
    const auto refused = commitSheetList(
        {"a = " + tooLong, "b = 4", "c = 5", "d = 6", "e = 7", "f(x,y) = " + tooLong}, sheet);
    EXPECT_EQ(refused, (std::vector<std::size_t>{1, 6}));
    EXPECT_STREQ(sheet[1].display, "a = 5");
    EXPECT_STREQ(sheet[2].value, "4") << "the other rows are written";
    EXPECT_STREQ(sheet[6].value, defaultFunctionSheet()[6].value);
}

TEST(SheetCommit, RowIGoesToLineIPlusOne)
{
    DataSheet sheet = defaultSettingsSheet();
    commitSheetList({"x1        = 1", "x2        = 9"}, sheet);
    EXPECT_STREQ(sheet[SettingsLine::x1].value, "1");
    EXPECT_STREQ(sheet[SettingsLine::x2].value, "9");
    EXPECT_STREQ(sheet[SettingsLine::y1].value, "-2") << "lines without a row stay";
    EXPECT_STREQ(sheet[0].display, "sdata     = 15") << "the header is never written";
}

TEST(SheetCommit, RowsBeyondTheSheetAreDropped)
{
    DataSheet sheet = defaultFunctionSheet();
    std::vector<std::string> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back("a = " + std::to_string(i));
    commitSheetList(rows, sheet);
    ASSERT_EQ(sheet.size(), 7u);
    EXPECT_STREQ(sheet[1].value, "0");
    EXPECT_STREQ(sheet[6].display, "a = 5");
    EXPECT_STREQ(sheet[6].name, "f(x,y)");
}

struct CountRow {
    const char* header;
    std::size_t lines;
    std::size_t count;
};

void PrintTo(const CountRow& r, std::ostream* os)
{
    *os << '"' << r.header << "\" over " << r.lines << " lines";
}

class EntryCount : public ::testing::TestWithParam<CountRow> {};

TEST_P(EntryCount, StaysWithinTheSheet)
{
    DataSheet sheet(GetParam().lines);
    if (sheet.size() > 0)
        buildLine(sheet[0], "s", GetParam().header);
    EXPECT_EQ(entryCount(sheet), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Headers, EntryCount, ::testing::Values(
    CountRow{"6", 7, 6}, CountRow{"3", 7, 3}, CountRow{"99", 7, 6}, CountRow{"-4", 7, 0},
    CountRow{"x", 7, 0}, CountRow{"6", 0, 0}, CountRow{"6", 1, 0}));

} // namespace
