#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "expr/WideKernels.h"
#include "grid/CellHeights.h"
#include "grid/GridSurface.h"
#include "sheets/SheetLookup.h"

namespace {

std::shared_ptr<const HeightGrid> gridOf(const std::string& text)
{
    std::istringstream in(text);
    GridRead r = readGrid(in, "data.csv");
    EXPECT_TRUE(r) << r.error;
    return r.grid;
}

struct Point {
    const char* name;
    double x, y;
    double z;  // NaN: not a number expected
};

std::ostream& operator<<(std::ostream& out, const Point& p) { return out << p.name; }

// Rows y 0 and 1, columns x 0, 1, 2 over the box 0..2 by 0..1; the
// corner at row 0, column 2 is missing.
const char* const twoCells = "0 1 nan\n2 4 8\n";

class GridHeights : public ::testing::TestWithParam<Point> {};

TEST_P(GridHeights, BilinearInTheCellAndNaNWithoutIt)
{
    const GridSurface surface(gridOf(twoCells), 0, 2, 0, 1);
    const Point& p = GetParam();
    const double z = surface.height(p.x, p.y);
    if (std::isnan(p.z))
        EXPECT_TRUE(std::isnan(z)) << z;
    else
        EXPECT_DOUBLE_EQ(z, p.z);
}

const double nan = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Points, GridHeights,
    ::testing::Values(Point{"Node", 1, 1, 4}, Point{"CornerNode", 0, 0, 0},
                      Point{"CellCentre", 0.5, 0.5, 1.75}, Point{"InTheCell", 0.25, 0.75, 1.9375},
                      Point{"AlongTheLowerSide", 0.25, 0, 0.25},
                      Point{"AlongTheLeftSide", 0, 0.5, 1},
                      Point{"ANodeBesideTheMissingOne", 2, 1, 8},
                      Point{"ASideOfTwoNodesBesideTheMissingOne", 1.5, 1, 6},
                      Point{"InTheCellWithTheMissingCorner", 1.5, 0.5, nan},
                      Point{"TheMissingNode", 2, 0, nan},
                      Point{"OnASideToTheMissingNode", 1.5, 0, nan},
                      Point{"LeftOfTheGrid", -0.01, 0.5, nan}, Point{"AboveTheGrid", 1, 1.01, nan},
                      Point{"NotANumber", nan, 0.5, nan},
                      Point{"JustOutsideByRounding", -1e-12, 1 + 1e-12, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A text of heights of node (i, j) for a grid of rows x columns, unlike at
// every node and in no simple relation to its neighbours.
double nodeHeight(int i, int j) { return std::sin(0.7 * i + 1.3 * j) + 0.001 * i * j; }

std::string matrixText(int rows, int columns)
{
    std::string text;
    char number[32];
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            std::snprintf(number, sizeof number, "%.17g ", nodeHeight(i, j));
            text += number;
        }
        text += '\n';
    }
    return text;
}

struct Mesh {
    const char* name;
    double x1, x2, y1, y2;
    int m, n, k;
};

std::ostream& operator<<(std::ostream& out, const Mesh& mesh) { return out << mesh.name; }

class MeshOnNodes : public ::testing::TestWithParam<Mesh> {};

// The mesh's points as the renderer computes them, whose steps are not
// exact in binary, land on the nodes of an (m + 1) x (n + 1) grid spread
// over the box: each gets its node's height, bit for bit.
TEST_P(MeshOnNodes, SamplesOfInexactStepsGetTheNodesHeights)
{
    const Mesh& g = GetParam();
    const GridSurface surface(gridOf(matrixText(g.n + 1, g.m + 1)), g.x1, g.x2, g.y1, g.y2);
    const double dx = (g.x2 - g.x1) / g.m, dy = (g.y2 - g.y1) / g.n;
    const double subDx = dx / g.k, subDy = dy / g.k;
    int off = 0;
    for (int i = 0; i <= g.n; ++i)
        for (int j = 0; j <= g.m; ++j) {
            const double z = nodeHeight(i, j);
            // A line of constant y at its sub-step j * k, and a line of
            // constant x at its sub-step i * k.
            off += surface.height(g.x1 + (j * g.k) * subDx, g.y1 + i * dy) != z;
            off += surface.height(g.x1 + j * dx, g.y1 + (i * g.k) * subDy) != z;
            // The front boundary counts y down from y2.
            off += surface.height(g.x1, g.y2 - ((g.n - i) * g.k) * subDy) != nodeHeight(i, 0);
        }
    EXPECT_EQ(off, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, MeshOnNodes,
    ::testing::Values(Mesh{"Tenths", 0.1, 0.7, -0.3, 0.4, 6, 7, 1},
                      Mesh{"Thirds", -1, 1, -1, 2, 3, 9, 3},
                      Mesh{"Unround", -1.3, 2.9, 0.2, 5.7, 7, 11, 10},
                      Mesh{"FarFromZero", 1e5, 1e5 + 0.3, -7e4, -7e4 + 0.9, 13, 10, 2},
                      Mesh{"Fine", -2, 2, -2, 2, 999, 333, 1},
                      Mesh{"Falling", 0.7, 0.1, 0.4, -0.3, 6, 7, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridSurfaces, AFallingBoxPutsTheFirstColumnAtX1)
{
    const GridSurface surface(gridOf("1 2 3\n4 5 6\n"), 2, 0, 1, 0);
    EXPECT_EQ(surface.height(2, 1), 1);
    EXPECT_EQ(surface.height(0, 0), 6);
    EXPECT_DOUBLE_EQ(surface.height(1.5, 0.5), 3);
}

TEST(GridSurfaces, ABoxOfNoWidthOrBeyondTheDoublesHoldsNoHeights)
{
    const auto grid = gridOf("1 2\n3 4\n");
    EXPECT_TRUE(std::isnan(GridSurface(grid, 1, 1, 0, 1).height(1, 0)));
    EXPECT_TRUE(std::isnan(GridSurface(grid, -1e308, 1e308, 0, 1).height(0, 0)));
    EXPECT_TRUE(std::isnan(GridSurface(grid, 0, 1, 0, INFINITY).height(0, 0)));
}

TEST(GridSurfaces, TriplesStandAtTheirOwnCoordinatesWhateverTheBox)
{
    const auto grid = gridOf("0 10 1\n0 11 2\n0 13 3\n\n4 10 5\n4 11 6\n4 13 7\n");
    const GridSurface surface(grid, -2, 2, -2, 2);
    EXPECT_EQ(surface.height(4, 13), 7);
    EXPECT_DOUBLE_EQ(surface.height(1, 12), 3.5);
    EXPECT_TRUE(std::isnan(surface.height(0, 2)));
    EXPECT_TRUE(surface.sameHeights(GridSurface(grid, 0, 1, 0, 1)));
}

// Heights over many points at once, of a grid of uneven columns, with the
// points far apart and close together, as one at a time gives them.
TEST(GridSurfaces, AllPointsAtOnceAsOneByOne)
{
    const auto grid = gridOf("0 0 1\n0 1 2\n0 5 3\n\n0.5 0 4\n0.5 1 5\n0.5 5 6\n\n"
                             "3 0 7\n3 1 8\n3 5 9\n\n3.25 0 1\n3.25 1 1\n3.25 5 2\n");
    const GridSurface surface(grid, 0, 0, 0, 0);
    std::vector<double> x, y;
    for (int i = 0; i < 200; ++i) {
        x.push_back(std::fmod(i * 0.37, 3.6) - 0.1);
        y.push_back(i % 7 == 0 ? 5.5 - i * 0.01 : std::fmod(i * 1.7, 5.2));
    }
    std::vector<double> z(x.size());
    surface.heights(x, y, z);
    for (std::size_t i = 0; i < z.size(); ++i) {
        const double one = surface.height(x[i], y[i]);
        EXPECT_TRUE(one == z[i] || (std::isnan(one) && std::isnan(z[i]))) << i;
    }
}

TEST(GridSurfaces, TheSameHeightsAreThoseOfTheSameGridAndBox)
{
    const auto grid = gridOf("1 2\n3 4\n");
    const GridSurface surface(grid, 0, 1, 0, 1);
    EXPECT_TRUE(surface.sameHeights(GridSurface(grid, 0, 1, 0, 1)));
    EXPECT_TRUE(surface.snapshot()->sameHeights(surface));
    EXPECT_FALSE(surface.sameHeights(GridSurface(grid, 0, 2, 0, 1)));
    EXPECT_FALSE(surface.sameHeights(GridSurface(gridOf("1 2\n3 4\n"), 0, 1, 0, 1)));
}

// The lines loading sets, and nothing else.
std::vector<SheetLineValue> linesOf(const std::string& text, bool titleIsEmpty = true)
{
    return gridSheetLines(*gridOf(text), "heights.csv", titleIsEmpty);
}

TEST(GridSheetLines, AMatrixSpansItsColumnsAndRows)
{
    const std::vector<SheetLineValue> expected = {
        {"f(x,y)", "z"}, {"x1", "0"}, {"x2", "3"},  {"y1", "0"}, {"y2", "2"},
        {"z1", "-0.5"},  {"z2", "0.1"}, {"n", "2"}, {"m", "3"},  {"k", "1"},
        {"title", "heights.csv"}};
    EXPECT_EQ(linesOf("1e-3 0.1 nan 0\n-0.5 0 0 0\n0 0 0 0\n"), expected);
}

TEST(GridSheetLines, TriplesSpanTheirCoordinates)
{
    const std::vector<SheetLineValue> expected = {
        {"f(x,y)", "z"}, {"x1", "0.1"},    {"x2", "0.30000000000000004"},
        {"y1", "-1e+20"}, {"y2", "2"},     {"z1", "1"}, {"z2", "4"},
        {"n", "1"},      {"m", "1"},       {"k", "1"}};
    EXPECT_EQ(linesOf("0.1 -1e20 1\n0.1 2 2\n\n0.30000000000000004 -1e20 3\n"
                      "0.30000000000000004 2 4\n",
                      false),
              expected);
}

struct HeightRange {
    const char* name;
    std::string text;
    std::string z1, z2;
};

std::ostream& operator<<(std::ostream& out, const HeightRange& r) { return out << r.name; }

class GridBoxHeight : public ::testing::TestWithParam<HeightRange> {};

TEST_P(GridBoxHeight, IsThatOfTheFiniteHeights)
{
    const std::vector<SheetLineValue> lines = linesOf(GetParam().text);
    EXPECT_EQ(lines[5], (SheetLineValue{"z1", GetParam().z1}));
    EXPECT_EQ(lines[6], (SheetLineValue{"z2", GetParam().z2}));
}

INSTANTIATE_TEST_SUITE_P(
    Grids, GridBoxHeight,
    ::testing::Values(HeightRange{"Spread", "1 2\n3 0.5\n", "0.5", "3"},
                      HeightRange{"AllMissing", "nan nan\nnan nan\n", "0", "1"},
                      HeightRange{"FlatAtFive", "5 5\n5 nan\n", "3.75", "6.25"},
                      HeightRange{"FlatAtZero", "0 0\n0 0\n", "-1", "1"},
                      HeightRange{"FlatAtTheLargest",
                                  "1.7976931348623157e308 1.7976931348623157e308\n"
                                  "1.7976931348623157e308 nan\n",
                                  "1.3482698511467367e+308", "1.7976931348623157e+308"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridSheetLines, LoadingSetsThoseLinesAndKeepsTheRest)
{
    Sheets sheets;
    setGridLines(sheets, *gridOf("1 2 3\n4 5 6\n"), "heights.csv");
    const Sheets defaults;
    const std::vector<std::string> changed = {"f(x,y)", "x1", "x2", "y1", "y2", "z1", "z2",
                                              "n",      "m",  "k",  "title"};
    for (const DataSheet* sheet : {&sheets.fdata, &sheets.sdata}) {
        const DataSheet& before = sheet == &sheets.fdata ? defaults.fdata : defaults.sdata;
        for (std::size_t i = 0; i < sheet->size(); ++i) {
            const std::string name = trimmedName((*sheet)[i]);
            if (std::find(changed.begin(), changed.end(), name) == changed.end()) {
                EXPECT_STREQ((*sheet)[i].display, before[i].display) << name;
            }
        }
    }
    EXPECT_STREQ(sheets.fdata[6].display, "f(x,y) = z");
    EXPECT_STREQ(sheets.sdata[SettingsLine::x2].display, "x2        = 2");
    EXPECT_STREQ(sheets.sdata[SettingsLine::y2].display, "y2        = 1");
    EXPECT_STREQ(sheets.sdata[SettingsLine::z1].display, "z1        = 1");
    EXPECT_STREQ(sheets.sdata[SettingsLine::z2].display, "z2        = 6");
    EXPECT_STREQ(sheets.sdata[SettingsLine::n].display, "n         = 1");
    EXPECT_STREQ(sheets.sdata[SettingsLine::m].display, "m         = 2");
    EXPECT_STREQ(sheets.sdata[SettingsLine::k].display, "k         = 1");
    EXPECT_STREQ(sheets.sdata[SettingsLine::title].display, "title     = heights.csv");
}

TEST(GridSheetLines, ATitleIsKeptAndALongNameCutBetweenCharacters)
{
    Sheets sheets;
    buildLine(sheets.sdata[SettingsLine::title], sheets.sdata[SettingsLine::title].name, "mine");
    setGridLines(sheets, *gridOf("1 2\n3 4\n"), "heights.csv");
    EXPECT_STREQ(sheets.sdata[SettingsLine::title].value, "mine");

    Sheets fresh;
    // The 59th and 60th bytes are one character.
    const std::string name = std::string(58, 'a') + "\xC3\xA9.csv";
    setGridLines(fresh, *gridOf("1 2\n3 4\n"), name);
    EXPECT_EQ(std::string(fresh.sdata[SettingsLine::title].value), std::string(58, 'a'));
}

} // namespace

namespace {

// Where x falls among rising nodes, written out plainly: the cell by a
// search, or for nodes spread evenly by the coordinate in cells; a node
// within the tolerance of the cell's width.
struct Placed {
    int node = -1;
    double t = 0;
};

Placed placeAmong(const std::vector<double>& nodes, double x)
{
    const int last = static_cast<int>(nodes.size()) - 2;
    int j = 0;
    while (j < last && x >= nodes[static_cast<std::size_t>(j) + 1])
        ++j;
    const double low = nodes[static_cast<std::size_t>(j)], high = nodes[static_cast<std::size_t>(j) + 1];
    const double near = GridAxis::nodeTolerance * (high - low);
    if (std::abs(x - low) <= near)
        return {j, 0};
    if (std::abs(high - x) <= near)
        return {j + 1, 0};
    if (x < low || x > high)
        return {};
    return {j, (x - low) / (high - low)};
}

Placed placeSpread(double first, double last, int count, double x)
{
    const double u = (x - first) * ((count - 1) / (last - first));
    if (!(u >= -GridAxis::nodeTolerance && u <= count - 1 + GridAxis::nodeTolerance))
        return {};
    const double nearest = std::round(u);
    if (std::abs(u - nearest) <= GridAxis::nodeTolerance)
        return {static_cast<int>(nearest), 0};
    const double cell = std::floor(u);
    return {static_cast<int>(cell), u - cell};
}

double lerp(double a, double b, double t) { return a + t * (b - a); }

// A grid, and how the box turns its rising nodes into the file's.
struct TurnedCase {
    const char* name;
    std::shared_ptr<const HeightGrid> grid;
    double x1, x2, y1, y2;
};

std::ostream& operator<<(std::ostream& out, const TurnedCase& c) { return out << c.name; }

// The bilinear height of the cell, from the nodes a point depends on.
double referenceHeight(const TurnedCase& c, double x, double y)
{
    const HeightGrid& g = *c.grid;
    const int columns = static_cast<int>(g.columns()), rows = static_cast<int>(g.rows());
    bool fallingX = false, fallingY = false;
    Placed column, row;
    if (g.hasCoordinates()) {
        column = placeAmong({g.x().begin(), g.x().end()}, x);
        row = placeAmong({g.y().begin(), g.y().end()}, y);
    } else {
        fallingX = c.x2 < c.x1;
        fallingY = c.y2 < c.y1;
        const double dx = (c.x2 - c.x1) / (columns - 1), dy = (c.y2 - c.y1) / (rows - 1);
        const double lastX = c.x1 + (columns - 1) * dx, lastY = c.y1 + (rows - 1) * dy;
        column = fallingX ? placeSpread(lastX, c.x1, columns, x) : placeSpread(c.x1, lastX, columns, x);
        row = fallingY ? placeSpread(lastY, c.y1, rows, y) : placeSpread(c.y1, lastY, rows, y);
    }
    if (column.node < 0 || row.node < 0)
        return nan;
    auto z = [&](int r, int q) {
        return g.at(static_cast<std::size_t>(fallingY ? rows - 1 - r : r),
                    static_cast<std::size_t>(fallingX ? columns - 1 - q : q));
    };
    const int r = row.node, q = column.node;
    if (row.t == 0 && column.t == 0)
        return z(r, q);
    if (row.t == 0)
        return lerp(z(r, q), z(r, q + 1), column.t);
    if (column.t == 0)
        return lerp(z(r, q), z(r + 1, q), row.t);
    return lerp(lerp(z(r, q), z(r, q + 1), column.t), lerp(z(r + 1, q), z(r + 1, q + 1), column.t),
                row.t);
}

std::string gappyMatrixText(int rows, int columns)
{
    std::string text;
    char number[32];
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const bool missing = (i * 7 + j * 3) % 41 == 0;
            std::snprintf(number, sizeof number, "%.17g%c", std::sin(0.3 * i) * std::cos(0.21 * j),
                          j + 1 < columns ? ' ' : '\n');
            text += missing ? std::string("nan") + number[std::strlen(number) - 1] : number;
        }
    return text;
}

// Triples over uneven coordinates, written column by column.
std::string triplesText(int rows, int columns)
{
    std::string text;
    char line[96];
    for (int j = 0; j < columns; ++j) {
        for (int i = 0; i < rows; ++i) {
            const double x = j + 0.3 * std::sin(j), y = 2.0 * i + 0.7 * std::cos(i);
            const double z = (i + j) % 13 == 5 ? nan : std::cos(0.4 * i) + 0.1 * j;
            std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", x, y, z);
            text += line;
        }
        text += "\n";
    }
    return text;
}

// Triples over even coordinates, written column by column (so that the
// rows are a step apart in the file) or row by row with both falling.
std::string evenTriplesText(int rows, int columns, bool byColumns)
{
    std::string text;
    char line[96];
    const int outer = byColumns ? columns : rows, inner = byColumns ? rows : columns;
    for (int a = 0; a < outer; ++a) {
        for (int b = 0; b < inner; ++b) {
            const int i = byColumns ? b : rows - 1 - a, j = byColumns ? a : columns - 1 - b;
            const double z = (i * 5 + j) % 17 == 3 ? nan : std::sin(0.5 * i) - 0.2 * j;
            std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", 0.25 * j - 1, 0.5 * i, z);
            text += line;
        }
        text += "\n";
    }
    return text;
}

// The points of a mesh over the grid and a little beyond, turned by an
// angle about its centre; or, at angle -1, the nodes and the middles of
// their sides and cells.
struct TurnedPoints {
    std::vector<double> x, y;
};

TurnedPoints turnedPoints(const TurnedCase& c, double degrees)
{
    const bool own = c.grid->hasCoordinates();
    const double left = own ? c.grid->x().front() : std::min(c.x1, c.x2);
    const double right = own ? c.grid->x().back() : std::max(c.x1, c.x2);
    const double bottom = own ? c.grid->y().front() : std::min(c.y1, c.y2);
    const double top = own ? c.grid->y().back() : std::max(c.y1, c.y2);
    const double cx = (left + right) / 2, cy = (bottom + top) / 2;
    TurnedPoints p;
    if (degrees < 0) {
        // The nodes' coordinates as a mesh computes them, and halfway
        // between.
        auto along = [](double first, double last, std::span<const double> own, std::size_t count) {
            std::vector<double> at;
            for (std::size_t j = 0; j < count; ++j) {
                const double node = own.empty() ? first + static_cast<double>(j) * (last - first) /
                                                              static_cast<double>(count - 1)
                                                : own[j];
                if (!at.empty())
                    at.push_back((at.back() + node) / 2);
                at.push_back(node);
            }
            return at;
        };
        const std::vector<double> nodeX = along(c.x1, c.x2, c.grid->x(), c.grid->columns());
        for (double py : along(c.y1, c.y2, c.grid->y(), c.grid->rows()))
            for (double px : nodeX) {
                p.x.push_back(px);
                p.y.push_back(py);
            }
        return p;
    }
    const int steps = 97;
    const double r = degrees * 0.017453292519943295, s = std::sin(r), k = std::cos(r);
    for (int i = 0; i <= steps; ++i)
        for (int j = 0; j <= steps; ++j) {
            const double px = left + j * (right - left) / steps - cx;
            const double py = bottom + i * (top - bottom) / steps - cy;
            p.x.push_back(cx + 1.05 * (px * k - py * s));
            p.y.push_back(cy + 1.05 * (px * s + py * k));
        }
    return p;
}

const double turns[] = {-1.0, 0.0, 10.0, 33.0, 90.0, 187.0};

bool sameBits(double a, double b)
{
    return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
}

class TurnedHeights : public ::testing::TestWithParam<TurnedCase> {};

TEST_P(TurnedHeights, AreTheBilinearHeightsBitForBit)
{
    const TurnedCase& c = GetParam();
    const GridSurface surface(c.grid, c.x1, c.x2, c.y1, c.y2);
    for (double degrees : turns) {
        const TurnedPoints p = turnedPoints(c, degrees);
        std::vector<double> z(p.x.size());
        surface.heights(p.x, p.y, z);
        for (std::size_t i = 0; i < z.size(); ++i) {
            const double want = referenceHeight(c, p.x[i], p.y[i]);
            ASSERT_TRUE(sameBits(want, z[i])) << degrees << " degrees, at " << p.x[i] << ", "
                                              << p.y[i] << ": " << z[i] << " for " << want;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, TurnedHeights,
    ::testing::Values(TurnedCase{"Matrix", gridOf(gappyMatrixText(40, 30)), -2, 2, -3, 1},
                      TurnedCase{"MatrixInAFallingBox", gridOf(gappyMatrixText(25, 50)), 5, -1, 3, 0.5},
                      TurnedCase{"UnevenTriples", gridOf(triplesText(20, 15)), 0, 1, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

class LoopWidths : public ::testing::TestWithParam<TurnedCase> {};

// The loops over four and eight points at a time, wherever the processor
// has them (whichever the surface takes itself), give every point the
// height one point at a time has: over a matrix in a rising and a falling
// box, and over triples with the rows a step apart in the file and with
// both axes falling.
TEST_P(LoopWidths, GiveEachPointItsOwnHeight)
{
    const TurnedCase& c = GetParam();
    const GridSurface surface(c.grid, c.x1, c.x2, c.y1, c.y2);
    const std::optional<SpreadCells> cells = surface.spreadCells();
    ASSERT_TRUE(cells);
#if defined(__x86_64__) && defined(__GNUC__)
    using Loop = std::size_t (*)(const SpreadCells&, const double*, const double*, std::size_t,
                                 double*);
    const struct {
        Loop loop;
        bool there;
        std::size_t width;
    } loops[] = {{cellHeightsFourLanes, wideKernels(), 4},
                 {cellHeightsEightLanes, eightLaneKernels(), 8}};
    for (const auto& l : loops) {
        if (!l.there)
            continue;
        for (double degrees : turns) {
            const TurnedPoints p = turnedPoints(c, degrees);
            std::vector<double> z(p.x.size(), -7.0);
            const std::size_t done = l.loop(*cells, p.x.data(), p.y.data(), z.size(), z.data());
            EXPECT_EQ(done, z.size() - z.size() % l.width);
            for (std::size_t i = 0; i < done; ++i) {
                const double one = surface.height(p.x[i], p.y[i]);
                ASSERT_TRUE(sameBits(one, z[i])) << l.width << " lanes, " << degrees
                                                 << " degrees, at " << p.x[i] << ", " << p.y[i]
                                                 << ": " << z[i] << " for " << one;
            }
            // The points past the last whole register are left alone.
            for (std::size_t i = done; i < z.size(); ++i)
                EXPECT_EQ(z[i], -7.0);
        }
    }
#else
    GTEST_SKIP() << "no wider loops here";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Grids, LoopWidths,
    ::testing::Values(TurnedCase{"Matrix", gridOf(gappyMatrixText(40, 30)), -2, 2, -3, 1},
                      TurnedCase{"MatrixInAFallingBox", gridOf(gappyMatrixText(25, 50)), 5, -1, 3, 0.5},
                      TurnedCase{"TriplesByColumns", gridOf(evenTriplesText(21, 13, true)), 0, 1, 0, 1},
                      TurnedCase{"TriplesFalling", gridOf(evenTriplesText(9, 30, false)), 0, 1, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
