#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "sheets/DataSheet.h"
#include "sheets/SheetCommit.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetLookup.h"
#include "sheets/Sheets.h"

namespace {

// Every field of every line, header included, as one text to compare.
std::string fieldsOf(const Sheets& sheets)
{
    std::string text;
    for (const SheetEntry& entry : sheetEntries) {
        const DataSheet& sheet = sheets.*entry.sheet;
        for (std::size_t i = 0; i < sheet.size(); ++i)
            text += std::string(sheet[i].name) + "|" + sheet[i].value + "|" + sheet[i].display + "\n";
    }
    return text;
}

void setValue(Sheets& sheets, const char* name, const char* value)
{
    DataLine* line = findEntryLine(sheets, name);
    ASSERT_NE(line, nullptr) << name;
    buildLine(*line, line->name, value);
}

// What a user may leave in the sheets: each is written and read back.
struct RoundTrip {
    const char* name;
    std::function<void(Sheets&)> edit;
};
void PrintTo(const RoundTrip& r, std::ostream* os) { *os << r.name; }

class SheetFileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(SheetFileRoundTrip, ReadsBackEveryField)
{
    Sheets saved;
    GetParam().edit(saved);
    const SheetFileText file = writeSheetFile(saved);
    ASSERT_TRUE(file.ok()) << file.refusal;
    ASSERT_TRUE(file.text.starts_with("kelvo sheets 1\n"));

    Sheets read;
    setValue(read, "a", "other");
    const auto refusal = readSheetFile(file.text, read);
    ASSERT_FALSE(refusal) << refusal->message("saved.kelvo") << "\n" << file.text;
    EXPECT_EQ(fieldsOf(read), fieldsOf(saved)) << file.text;
}

INSTANTIATE_TEST_SUITE_P(Sheets, SheetFileRoundTrip, ::testing::Values(
    RoundTrip{"defaults", [](Sheets&) {}},
    RoundTrip{"an edited row shorter than its name", [](Sheets& s) {
        commitRow(s.sdata[SettingsLine::x1], "x1 = 3");
    }},
    RoundTrip{"a row that renames its line", [](Sheets& s) {
        commitRow(s.sdata[SettingsLine::x2], "zz        = 7");
    }},
    RoundTrip{"a row one short of its value", [](Sheets& s) {
        commitRow(s.fdata[1], "a =");
    }},
    RoundTrip{"an emptied row", [](Sheets& s) { commitRow(s.fdata[2], ""); }},
    RoundTrip{"a row that looks like a comment", [](Sheets& s) {
        commitRow(s.sdata[SettingsLine::n], "# n       = 5");
    }},
    RoundTrip{"a Latin-1 title", [](Sheets& s) { setValue(s, "title", "W\xE4rme \xB0" "C \xBD"); }},
    RoundTrip{"C1 bytes", [](Sheets& s) { setValue(s, "title", "\x85\x9F"); }},
    RoundTrip{"empty values", [](Sheets& s) {
        setValue(s, "f(x,y)", "");
        setValue(s, "x1", "");
        setValue(s, "title", "");
    }},
    RoundTrip{"blanks around a value", [](Sheets& s) { setValue(s, "title", "  two  "); }},
    RoundTrip{"a tab", [](Sheets& s) { setValue(s, "b", "\t1"); }},
    RoundTrip{"the marks in a value", [](Sheets& s) { setValue(s, "title", "= | [sdata] #"); }},
    RoundTrip{"the longest value", [](Sheets& s) {
        setValue(s, "f(x,y)", std::string(DataLine::longestValue, 'x').c_str());
    }},
    RoundTrip{"the longest row", [](Sheets& s) {
        commitRow(s.sdata[SettingsLine::title], std::string(118, 'r'));
    }}));

// The data file's path as it is written, and as it reads back.
struct DataPathRow {
    const char* name;
    std::string path;
};
void PrintTo(const DataPathRow& r, std::ostream* os) { *os << r.name; }

class SheetFileDataPath : public ::testing::TestWithParam<DataPathRow> {};

TEST_P(SheetFileDataPath, ReadsBackAsWritten)
{
    Sheets saved;
    setValue(saved, "f(x,y)", "log(z+1)");
    const SheetFileText file = writeSheetFile(saved, GetParam().path);
    ASSERT_TRUE(file.ok()) << file.refusal;
    EXPECT_TRUE(file.text.ends_with("\n\n[data]\npath = " + GetParam().path + "\n")) << file.text;
    Sheets read;
    std::string path = "other";
    ASSERT_FALSE(readSheetFile(file.text, read, &path));
    EXPECT_EQ(path, GetParam().path);
    EXPECT_EQ(fieldsOf(read), fieldsOf(saved));
}

INSTANTIATE_TEST_SUITE_P(Paths, SheetFileDataPath, ::testing::Values(
    DataPathRow{"beside the sheet file", "heights.csv"},
    DataPathRow{"in a folder above", "../data/run 7/heights.dat"},
    DataPathRow{"absolute", "/srv/terrain/h.tsv"},
    DataPathRow{"beyond Latin-1, with marks", "Messungen/\xE2\x82\xAC = [1] | #2.csv"},
    DataPathRow{"blanks at both ends", "  h.csv  "},
    DataPathRow{"the longest", std::string(longestDataPath, 'p')}));

// A person may put the block first and pad its line as the others.
TEST(SheetFile, ADataBlockAnywhere)
{
    std::string text = writeSheetFile(Sheets{}).text;
    text.insert(text.find("[fdata]"), "[ data ]\n  path=h.csv\n\n");
    Sheets sheets;
    std::string path;
    ASSERT_FALSE(readSheetFile(text, sheets, &path));
    EXPECT_EQ(path, "h.csv");
}

TEST(SheetFile, RefusesToRecordAPathNoLineCanHold)
{
    const SheetFileText file = writeSheetFile(Sheets{}, "two\nlines.csv");
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.refusal, "the data file's path holds a control character (U+000A), which a "
                            "sheet file cannot record");
    EXPECT_TRUE(file.text.empty());
}

TEST(SheetFile, NamesAndValuesAsAPersonWritesThem)
{
    const std::string text =
        "kelvo sheets 1\r\n"
        "# by hand\n"
        "  [ sdata ]  \n"
        "x1=-1\n  x2 = 1\n y1 =-3\ny2 = 3\nz1 = 0\nz2 = 1\nn = 10\nm = 10\nk = 2\n"
        "tilt = 30\ntheta = 45\npc = 3\nfc = 1\nax = 1\ntitle =   \xC3\xA9t\xC3\xA9\n"
        "\n[fdata]\n\ta = 2\nb = 1\nc = 1\nd = 1\ne = 1\nf(x,y) = x*y";
    Sheets sheets;
    ASSERT_FALSE(readSheetFile(text, sheets));
    EXPECT_STREQ(sheets.sdata[SettingsLine::x1].display, "x1        = -1");
    EXPECT_STREQ(sheets.sdata[SettingsLine::y1].value, "-3");
    EXPECT_STREQ(sheets.sdata[SettingsLine::title].value, "  \xE9t\xE9");
    EXPECT_STREQ(sheets.fdata[1].display, "a = 2");
    EXPECT_STREQ(sheets.fdata[6].value, "x*y");
    EXPECT_STREQ(sheets.style[StyleLine::bands].display, "bands  = 0")
        << "a file from before the style sheet keeps its defaults";
}

TEST(SheetFile, StyleLinesRoundTrip)
{
    Sheets given;
    setValue(given, "lines", "1");
    setValue(given, "bands", "12");
    Sheets read;
    ASSERT_FALSE(readSheetFile(writeSheetFile(given).text, read));
    EXPECT_STREQ(read.style[StyleLine::lines].value, "1");
    EXPECT_STREQ(read.style[StyleLine::bands].display, "bands  = 12");
}

// A sheet file of the defaults with one line replaced (or, without a
// line, with text added after the last), for the refusals.
std::string defaultsWith(const std::string& find, const std::string& replacement)
{
    std::string text = writeSheetFile(Sheets{}).text;
    if (find.empty())
        return text + replacement;
    const auto at = text.find(find);
    return at == std::string::npos ? "not found: " + find
                                   : text.replace(at, find.size(), replacement);
}

struct BadFile {
    const char* name;
    std::string text;
    const char* message;
};
void PrintTo(const BadFile& b, std::ostream* os) { *os << b.name; }

class SheetFileRefused : public ::testing::TestWithParam<BadFile> {};

TEST_P(SheetFileRefused, SaysWhereAndWhyAndChangesNothing)
{
    Sheets sheets;
    setValue(sheets, "title", "before");
    commitRow(sheets.sdata[SettingsLine::x1], "x1 = 9");
    const std::string before = fieldsOf(sheets);
    std::string dataPath = "before.csv";
    const auto refusal = readSheetFile(GetParam().text, sheets, &dataPath);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message("wave.kelvo"), GetParam().message);
    EXPECT_EQ(fieldsOf(sheets), before);
    EXPECT_EQ(dataPath, "before.csv");
}

INSTANTIATE_TEST_SUITE_P(Files, SheetFileRefused, ::testing::Values(
    BadFile{"empty", "",
            "wave.kelvo:1: not a kelvo sheet file: its first line is not \"kelvo sheets 1\""},
    BadFile{"another format", "P3\n2 2\n",
            "wave.kelvo:1: not a kelvo sheet file: its first line is not \"kelvo sheets 1\""},
    BadFile{"a later version", defaultsWith("kelvo sheets 1", "kelvo sheets 2"),
            "wave.kelvo:1: version \"2\" of the sheet file format is not one this kelvo reads "
            "(it reads version 1)"},
    BadFile{"over 1 MB", defaultsWith("", std::string("#").append(largestSheetFile, ' ')),
            "wave.kelvo: the file is larger than 1 MB (1048576 bytes)"},
    BadFile{"not UTF-8", defaultsWith("title     = ", "title     = W\xE4rme"),
            "wave.kelvo:27: bytes that are not UTF-8 text"},
    BadFile{"an overlong sequence", defaultsWith("title     = ", "title     = \xC0\xAF"),
            "wave.kelvo:27: bytes that are not UTF-8 text"},
    BadFile{"beyond Latin-1", defaultsWith("title     = ", "title     = 5 \xE2\x82\xAC"),
            "wave.kelvo:27: the character \"\xE2\x82\xAC\" (U+20AC) is not one the sheets hold: "
            "they hold Latin-1 text"},
    BadFile{"a control character", defaultsWith("title     = ", "title     = \x07"),
            "wave.kelvo:27: a control character (U+0007) is not sheet text"},
    BadFile{"an unknown line", defaultsWith("b = 1", "zz = 1"),
            "wave.kelvo:6: no sheet line is named \"zz\""},
    BadFile{"a line of the other sheet", defaultsWith("b = 1", "x1 = 1"),
            "wave.kelvo:6: the line \"x1\" belongs in [sdata], not in [fdata]"},
    BadFile{"a repeated line", defaultsWith("b = 1", "a = 1"),
            "wave.kelvo:6: the line \"a\" comes a second time"},
    BadFile{"a repeated row", defaultsWith("b = 1", "b = 1\nb | x\nb | y"),
            "wave.kelvo:8: the row of \"b\" comes a second time"},
    BadFile{"a missing line", defaultsWith("tilt      = 15\n", ""),
            "wave.kelvo:12: the block [sdata] has no line \"tilt\""},
    BadFile{"a row without its line", defaultsWith("tilt      = 15\n", "tilt | tilt = 1\n"),
            "wave.kelvo:12: the block [sdata] has no line \"tilt\""},
    BadFile{"a missing block", "kelvo sheets 1\n[fdata]\na = 1\nb = 1\nc = 1\nd = 1\ne = 1\nf(x,y) = 0\n",
            "wave.kelvo:8: the file has no block [sdata]"},
    BadFile{"a repeated block", defaultsWith("", "[fdata]\n"),
            "wave.kelvo:34: the block [fdata] comes a second time"},
    BadFile{"an unknown block", defaultsWith("", "[plot]\n"),
            "wave.kelvo:34: no block is named \"plot\": the blocks are [fdata], [sdata], [style], and [data]"},
    BadFile{"a data block without its path", defaultsWith("", "[data]\n# none\n"),
            "wave.kelvo:34: the block [data] has no line \"path\""},
    BadFile{"a repeated data block", defaultsWith("", "[data]\npath = a.csv\n[data]\n"),
            "wave.kelvo:36: the block [data] comes a second time"},
    BadFile{"a repeated path", defaultsWith("", "[data]\npath = a.csv\npath = b.csv\n"),
            "wave.kelvo:36: the line \"path\" comes a second time"},
    BadFile{"another line in the data block", defaultsWith("", "[data]\nfile = a.csv\n"),
            "wave.kelvo:35: the block [data] holds the line \"path\" alone, not \"file\""},
    BadFile{"a sheet line in the data block", defaultsWith("", "[data]\npath = a.csv\nx1 = 1\n"),
            "wave.kelvo:36: the block [data] holds the line \"path\" alone, not \"x1\""},
    BadFile{"a path without its mark", defaultsWith("", "[data]\npath a.csv\n"),
            "wave.kelvo:35: \"path\" must be followed by \"=\" and the data file's path"},
    BadFile{"a path given as a row", defaultsWith("", "[data]\npath | a.csv\n"),
            "wave.kelvo:35: \"path\" must be followed by \"=\" and the data file's path"},
    BadFile{"an empty path", defaultsWith("", "[data]\npath = \n"),
            "wave.kelvo:35: the data file's path is empty"},
    BadFile{"a control character in the path", defaultsWith("", "[data]\npath = a\x01.csv\n"),
            "wave.kelvo:35: the data file's path holds a control character (U+0001)"},
    BadFile{"a path over 4096 bytes",
            defaultsWith("", "[data]\npath = " + std::string(longestDataPath + 1, 'p') + "\n"),
            "wave.kelvo:35: the data file's path is longer than 4096 bytes"},
    BadFile{"a broken header", defaultsWith("[sdata]", "[sdata"),
            "wave.kelvo:12: a block's header is [NAME], not \"[sdata\""},
    BadFile{"a line outside a block", defaultsWith("[fdata]", "a = 1\n[fdata]"),
            "wave.kelvo:4: a line before the first sheet's block, such as [fdata]"},
    BadFile{"no mark after the name", defaultsWith("b = 1", "b 1"),
            "wave.kelvo:6: \"b\" must be followed by \"=\" and its value, or by \"|\" and its row"},
    BadFile{"a value over 59 bytes", defaultsWith("b = 1", std::string("b = ").append(60, 'v')),
            "wave.kelvo:6: the value of \"b\" is longer than 59 characters"},
    BadFile{"a row over 119 bytes", defaultsWith("b = 1", std::string("b = 1\nb | ").append(120, 'r')),
            "wave.kelvo:7: the row of \"b\" is longer than 119 characters"},
    BadFile{"a long unknown name", defaultsWith("b = 1", std::string(50, 'n') + " = 1"),
            "wave.kelvo:6: no sheet line is named \"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn\u2026\""}));

TEST(SheetFile, RefusesToWriteWhatNoLineCanHold)
{
    Sheets sheets;
    setValue(sheets, "title", "two\nlines");
    const SheetFileText file = writeSheetFile(sheets);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.refusal,
              "the line \"title\" holds a control character (U+000A), which a sheet file cannot");
    EXPECT_TRUE(file.text.empty());
}

} // namespace
