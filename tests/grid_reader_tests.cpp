#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "grid/GridReader.h"

namespace {

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

// rows lines of `values` values, then one of `last`.
std::string raggedMatrix(int rows, int values, int last)
{
    const std::string row = repeated("1,", values - 1) + "1\n";
    return repeated(row, rows) + repeated("2,", last - 1) + "2\n";
}

GridRead read(const std::string& text)
{
    std::istringstream in(text);
    return readGrid(in, "data.csv");
}

// A node the reading must hold: row, column, height (NaN for missing).
struct Node {
    std::size_t row, column;
    double z;
};

struct Accepted {
    const char* name;
    std::string text;
    std::size_t rows, columns;
    std::vector<double> x, y;  // empty for a matrix
    std::vector<Node> nodes;
};

std::ostream& operator<<(std::ostream& out, const Accepted& row) { return out << row.name; }

class ReadsGrid : public ::testing::TestWithParam<Accepted> {};

TEST_P(ReadsGrid, AsTheTextSays)
{
    const Accepted& row = GetParam();
    const GridRead r = read(row.text);
    ASSERT_TRUE(r) << r.error;
    const HeightGrid& g = *r.grid;
    EXPECT_EQ(g.rows(), row.rows);
    EXPECT_EQ(g.columns(), row.columns);
    EXPECT_EQ(std::vector<double>(g.x().begin(), g.x().end()), row.x);
    EXPECT_EQ(std::vector<double>(g.y().begin(), g.y().end()), row.y);
    for (const Node& node : row.nodes) {
        const double z = g.at(node.row, node.column);
        if (std::isnan(node.z))
            EXPECT_TRUE(std::isnan(z)) << node.row << "," << node.column;
        else
            EXPECT_EQ(z, node.z) << node.row << "," << node.column;
    }
}

const double nan = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Formats, ReadsGrid,
    ::testing::Values(
        Accepted{"Blanks", "1 2 3\n4 5  6\n", 2, 3, {}, {}, {{0, 0, 1}, {1, 2, 6}, {1, 1, 5}}},
        Accepted{"TabsAndCarriageReturns", "1\t2\r\n3\t4\r\n", 2, 2, {}, {}, {{1, 1, 4}}},
        Accepted{"CsvWithSpaces", "1, 2,3\n 4 ,5 , 6\n", 2, 3, {}, {}, {{0, 1, 2}, {1, 2, 6}}},
        Accepted{"Comments", "# heights\n1 2 # first\n   # between\n3 4#last\n", 2, 2, {}, {},
                 {{0, 1, 2}, {1, 1, 4}}},
        Accepted{"ColumnNames", "a,b,c\n1,2,3\n4,5,6\n", 2, 3, {}, {}, {{0, 0, 1}}},
        Accepted{"ColumnNamesAfterAComment", "# made by hand\n\"x\"  \"y\"\n1 2\n3 4\n", 2, 2, {},
                 {}, {{0, 0, 1}}},
        Accepted{"NanAndEmptyFields", "1,,3\nnan,NaN,6\n,2,\n", 3, 3, {}, {},
                 {{0, 1, nan}, {1, 0, nan}, {1, 1, nan}, {1, 2, 6}, {2, 0, nan}, {2, 2, nan}}},
        Accepted{"ATrailingCommaIsAnEmptyField", "1,2,\n3,4,\n", 2, 3, {}, {}, {{1, 2, nan}}},
        Accepted{"CommaIsNeverADecimalPoint", "1,5\n2,5\n", 2, 2, {}, {},
                 {{0, 0, 1}, {0, 1, 5}, {1, 0, 2}}},
        Accepted{"SignsExponentsPoints", "+1e3 -2.5E-1\n.5 7.\n", 2, 2, {}, {},
                 {{0, 0, 1000}, {0, 1, -0.25}, {1, 0, 0.5}, {1, 1, 7}}},
        Accepted{"ExactDigits", "0.1 0.30000000000000004\n1e-400 4.9406564584124654e-324\n", 2, 2,
                 {}, {}, {{0, 0, 0.1}, {0, 1, 0.1 + 0.2}, {1, 0, 0}, {1, 1, 5e-324}}},
        Accepted{"ByteOrderMark", "\xEF\xBB\xBF" "1 2\n3 4\n", 2, 2, {}, {}, {{0, 0, 1}}},
        Accepted{"NoNewlineAtTheEnd", "1 2\n3 4", 2, 2, {}, {}, {{1, 1, 4}}},
        Accepted{"BlankLinesInAMatrix", "\n1 2 5 6\n\n3 4 7 8\n\n", 2, 4, {}, {}, {{1, 3, 8}}},
        Accepted{"ThreeColumnsInOneBlockAreAMatrix", "1 2 3\n4 5 6\n7 8 9\n", 3, 3, {}, {},
                 {{2, 0, 7}}},
        Accepted{"TriplesOfConstantX", "0 0 1\n0 1 2\n0 2 3\n\n1 0 4\n1 1 5\n1 2 6\n", 3, 2,
                 {0, 1}, {0, 1, 2}, {{0, 0, 1}, {2, 0, 3}, {0, 1, 4}, {1, 1, 5}}},
        Accepted{"TriplesOfConstantY", "0 0 1\n1 0 2\n\n0 1 3\n1 1 4\n", 2, 2, {0, 1}, {0, 1},
                 {{0, 1, 2}, {1, 0, 3}, {1, 1, 4}}},
        Accepted{"TriplesFallingAndUneven", "2 5 1\n2 3 2\n2 0 3\n\n1 5 4\n1 3 5\n1 0 6\n", 3, 2,
                 {1, 2}, {0, 3, 5}, {{0, 0, 6}, {2, 1, 1}, {1, 0, 5}, {2, 0, 4}}},
        Accepted{"TriplesOfConstantYFalling", "9 1 1\n8 1 2\n\n9 0 3\n8 0 4\n", 2, 2, {8, 9}, {0, 1},
                 {{0, 0, 4}, {0, 1, 3}, {1, 0, 2}, {1, 1, 1}}},
        Accepted{"TriplesWithNamesCommentsAndMissingHeights",
                 "x,y,z\n0,0,1\n0,1,\n\n\n# next\n1,0,nan\r\n1,1,4\n", 2, 2, {0, 1}, {0, 1},
                 {{0, 0, 1}, {1, 0, nan}, {0, 1, nan}, {1, 1, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    std::string text;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const Refused& row) { return out << row.name; }

class RefusesGrid : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusesGrid, WithItsMessage)
{
    const GridRead r = read(GetParam().text);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.grid, nullptr);
    EXPECT_EQ(r.error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusesGrid,
    ::testing::Values(
        Refused{"RaggedRow", raggedMatrix(36, 40, 41),
                "data.csv:37: 41 values, but the first row has 40"},
        Refused{"ShortRow", "1 2\n# two\n3\n", "data.csv:3: 1 value, but the first row has 2"},
        Refused{"TextInARow", "1 2\n3 x4\n", "data.csv:2:3: \"x4\" is not a number"},
        Refused{"TextBesideANumberInTheFirstRow", "1 abc\n2 3\n",
                "data.csv:1:3: \"abc\" is not a number"},
        Refused{"OnlyOneRowOfNames", "a b\nc d\n1 2\n3 4\n", "data.csv:2:1: \"c\" is not a number"},
        Refused{"TwoPoints", "1 2 3\n4 1.2.3 5\n", "data.csv:2:3: \"1.2.3\" is not a number"},
        Refused{"HexadecimalIsNotRead", "1 0x10\n2 3\n", "data.csv:1:3: \"0x10\" is not a number"},
        Refused{"ALongField", "1 " + std::string(300, '1') + "\n",
                "data.csv:1:3: \"111111111111111111111111...\" is not a number"},
        Refused{"Infinity", "1 2\n3 -inf\n",
                "data.csv:2:3: \"-inf\" is not a finite number (nan marks a missing height)"},
        Refused{"BeyondTheDoubles", "1 1e999\n2 3\n",
                "data.csv:1:3: \"1e999\" is not a finite number (nan marks a missing height)"},
        Refused{"OneRow", "1 2 3\n",
                "data.csv: 1 x 3 heights (rows x columns): a grid needs at least 2 x 2"},
        Refused{"OneColumn", "1\n2\n3\n",
                "data.csv: 3 x 1 heights (rows x columns): a grid needs at least 2 x 2"},
        Refused{"Empty", "", "data.csv: holds no heights"},
        Refused{"NamesAndCommentsOnly", "# nothing\nx,y\n\n", "data.csv: holds no heights"},
        Refused{"TriplesOfNeitherKind", "0 0 1\n1 1 2\n\n2 2 3\n3 3 4\n",
                "data.csv:2: neither x nor y is that of the line before: a block of x y z is a "
                "line of the grid, of constant x or of constant y"},
        Refused{"TriplesLeavingTheirLine", "0 0 1\n0 1 2\n1 2 3\n\n1 0 4\n1 1 5\n1 2 6\n",
                "data.csv:3: x is 1, but 0 where the block starts: it stays the same within a "
                "block"},
        Refused{"TriplesRepeatingAPoint", "0 0 1\n0 1 2\n0 1 3\n\n1 0 4\n1 1 5\n1 1 6\n",
                "data.csv:3: y 1 repeats the line before"},
        Refused{"TriplesOutOfOrder", "0 0 1\n0 2 2\n0 1 3\n\n1 0 4\n1 2 5\n1 1 6\n",
                "data.csv:3: y 1 does not rise from 2: y must rise or fall steadily"},
        Refused{"TriplesOfOtherCoordinates", "0 0 1\n0 1 2\n\n1 0 3\n1 1.5 4\n",
                "data.csv:5: y is 1.5, but 1 in the first block: every block repeats its "
                "coordinates in order"},
        Refused{"TriplesLeavingTheBlockLine", "0 0 1\n0 1 2\n\n1 0 3\n2 1 4\n",
                "data.csv:5: x is 2, but 1 where the block starts: it stays the same within a "
                "block"},
        Refused{"TriplesInAShortBlock", "0 0 1\n0 1 2\n\n1 0 3\n\n2 0 4\n2 1 5\n",
                "data.csv:4: this block holds 1 point, but the first block 2"},
        Refused{"TriplesInAShortLastBlock", "0 0 1\n0 1 2\n\n1 0 3\n",
                "data.csv:4: this block holds 1 point, but the first block 2"},
        Refused{"TriplesInALongBlock", "0 0 1\n0 1 2\n\n1 0 3\n1 1 4\n1 2 5\n",
                "data.csv:6: this block holds more than the 2 points of the first block"},
        Refused{"TriplesRepeatingABlock", "0 0 1\n0 1 2\n\n0 0 3\n0 1 4\n",
                "data.csv:4: x 0 repeats the block before"},
        Refused{"TriplesBlocksOutOfOrder", "0 0 1\n0 1 2\n\n2 0 3\n2 1 4\n\n1 0 5\n1 1 6\n",
                "data.csv:7: x 1 does not rise from 2: x must rise or fall steadily"},
        Refused{"TriplesWithoutACoordinate", "0 0 1\nnan 1 2\n\n1 0 3\n1 1 4\n",
                "data.csv:2: x is missing: only heights may be"},
        Refused{"TriplesOfOnePointABlock", "0 0 1\n\n1 0 2\n",
                "data.csv:1: the first block holds one point: a block of x y z is a line of the "
                "grid, of at least 2 points"}),
    [](const auto& info) { return std::string(info.param.name); });

// Text made as it is read: rows of zeros, and, when told to, a failure of
// the medium after failAfter rows.
class GeneratedText final : public std::streambuf {
public:
    GeneratedText(int columns, int rows, int failAfter = -1)
        : row_(repeated("0 ", columns - 1) + "0\n"), rows_(rows), failAfter_(failAfter) {}

private:
    int_type underflow() override
    {
        if (done_ == failAfter_)
            throw std::runtime_error("the disk went away");
        if (done_ == rows_)
            return traits_type::eof();
        ++done_;
        setg(row_.data(), row_.data(), row_.data() + row_.size());
        return traits_type::to_int_type(row_[0]);
    }

    std::string row_;
    int rows_, failAfter_, done_ = 0;
};

TEST(GridLimits, MoreThanTwoToTheTwentyFourNodesAreRefusedWithTheLimitNamed)
{
    GeneratedText text(4096, 4097);
    std::istream in(&text);
    const GridRead r = readGrid(in, "big.dat");
    EXPECT_EQ(r.error, "big.dat:4097: more than 16777216 heights: a grid holds at most 2^24 "
                       "(4096 x 4096)");
}

TEST(GridLimits, AFailureToReadIsRefusedAtItsLine)
{
    // Rows of 6 bytes, read 64 KiB at a time: the last piece read whole
    // ends with line 196608.
    GeneratedText text(3, 300000, 200000);
    std::istream in(&text);
    EXPECT_EQ(readGrid(in, "data.csv").error, "data.csv:196609: cannot be read");
}

TEST(GridFiles, MissingFileAndFolderCannotBeRead)
{
    EXPECT_EQ(readGridFile("/nonexistent/folder/data.csv").error,
              "data.csv: cannot be read: No such file or directory");
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    EXPECT_EQ(readGridFile(folder, "tmp").error, "tmp: cannot be read: it is a folder");
}

TEST(GridFiles, AFileIsReadUnderItsOwnName)
{
    const auto path = std::filesystem::temp_directory_path() / "kelvo-grid-test.csv";
    {
        std::ofstream out(path);
        out << "1 2\n3 x\n";
    }
    EXPECT_EQ(readGridFile(path).error, "kelvo-grid-test.csv:2:3: \"x\" is not a number");
    std::filesystem::remove(path);
}

// Lines longer than what the reader takes at a time, with fields and a
// comment cut by the pieces' edges.
TEST(GridText, LinesLongerThanAPieceOfTheText)
{
    const int columns = 200000;
    const std::string row = repeated("1.2345, ", columns - 1) + "1.2345 # " +
                            std::string(600000, 'c') + "\n";
    const GridRead r = read(row + row + row);
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(r.grid->columns(), static_cast<std::size_t>(columns));
    ASSERT_EQ(r.grid->rows(), 3u);
    for (double z : r.grid->heights())
        ASSERT_EQ(z, 1.2345);
}

// Whatever locale the program runs in, a comma parts numbers and a point
// is the decimal point.
TEST(GridText, NumbersAreReadInTheCLocale)
{
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = name;
            break;
        }
    if (found == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const GridRead r = read("1,5 2.5\n3,5 4.5\n");
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(r.grid->columns(), 3u);
    EXPECT_EQ(r.grid->at(0, 1), 5);
    EXPECT_EQ(r.grid->at(0, 2), 2.5);
}

} // namespace
