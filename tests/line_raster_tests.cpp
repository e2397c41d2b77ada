#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "device/LineRaster.h"
#include "device/SegmentClip.h"

namespace {

constexpr std::uint32_t ink = 0xffff0000u;

// Pixels of a page, all 0 until set, in rows longer than the page: a
// pixel set beyond the page's right edge shows in the padding.
struct Page {
    Page(int width, int height)
        : width(width), height(height), pixels(std::size_t(width + 3) * height)
    {
    }
    PixelView view() { return {pixels.data(), width + 3, width, height}; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * (width + 3) + x]; }

    int width, height;
    std::vector<std::uint32_t> pixels;
};

bool inside(const DeviceRect& r, std::int64_t x, std::int64_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Bresenham's walk over every pixel of the whole line, each kept when it
// is inside the clip and the page: what the raster must set, however it
// gets there.
Page referenceLine(int width, int height, const DeviceRect& clip, DevicePoint from, DevicePoint to)
{
    Page page(width, height);
    std::int64_t x = from.x, y = from.y;
    const std::int64_t dx = std::abs(std::int64_t{to.x} - x), dy = -std::abs(std::int64_t{to.y} - y);
    const int sx = x < to.x ? 1 : -1, sy = y < to.y ? 1 : -1;
    std::int64_t err = dx + dy;
    const DeviceRect all{0, 0, width, height};
    while (x != to.x || y != to.y) {
        if (inside(clip, x, y) && inside(all, x, y))
            page.pixels[std::size_t(y) * (width + 3) + std::size_t(x)] = ink;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return page;
}

struct Line {
    const char* name;
    DevicePoint from, to;
};

struct Clip {
    const char* name;
    DeviceRect rect;
};

// Lines across a 64 x 48 page in every octant, both ways, along the axes
// and the diagonals, and of no length or one step.
const Line shortLines[] = {
    {"eastNorthEast", {3, 40}, {60, 9}},   {"northNorthEast", {20, 46}, {41, 1}},
    {"northNorthWest", {41, 46}, {20, 1}}, {"westNorthWest", {60, 40}, {3, 9}},
    {"westSouthWest", {60, 9}, {3, 40}},   {"southSouthWest", {41, 1}, {20, 46}},
    {"southSouthEast", {20, 1}, {41, 46}}, {"eastSouthEast", {3, 9}, {60, 40}},
    {"east", {1, 24}, {63, 24}},           {"west", {63, 23}, {0, 23}},
    {"south", {32, 0}, {32, 47}},          {"north", {31, 47}, {31, 0}},
    {"diagonal", {0, 0}, {47, 47}},        {"antiDiagonal", {63, 0}, {16, 47}},
    {"halfwayTies", {2, 3}, {62, 33}},     {"offThePage", {-30, -20}, {90, 70}},
    {"noLength", {30, 30}, {30, 30}},      {"oneStepEast", {30, 30}, {31, 30}},
    {"oneStepDiagonal", {30, 30}, {29, 31}}, {"twoSteps", {30, 30}, {32, 29}},
};

// Clips that cut at each edge and each corner, one pixel, none, and one
// larger than the page (cut at the page's edges).
const Clip clips[] = {
    {"page", {0, 0, 64, 48}},          {"left", {17, 0, 64, 48}},
    {"right", {0, 0, 45, 48}},         {"top", {0, 13, 64, 48}},
    {"bottom", {0, 0, 64, 29}},        {"topLeft", {17, 13, 64, 48}},
    {"topRight", {0, 13, 45, 48}},     {"bottomLeft", {17, 0, 64, 29}},
    {"bottomRight", {0, 0, 45, 29}},   {"inner", {17, 13, 45, 29}},
    {"onePixel", {30, 30, 31, 31}},    {"empty", {30, 30, 30, 40}},
    {"reversed", {40, 30, 20, 10}},    {"beyondThePage", {-100, -100, 1000, 1000}},
};

void ExpectSamePixels(const Page& drawn, const Page& expected, const std::string& what)
{
    for (int y = 0; y < drawn.height; ++y)
        for (int x = 0; x < drawn.width + 3; ++x)
            ASSERT_EQ(drawn.at(x, y), expected.at(x, y)) << what << " at " << x << ", " << y;
}

class RasterLines : public ::testing::TestWithParam<std::tuple<Line, Clip>> {};

TEST_P(RasterLines, SetThePixelsOfTheWholeLineInsideTheClip)
{
    const auto& [line, clip] = GetParam();
    Page page(64, 48);
    LineRaster raster(page.view());
    raster.clip(clip.rect);
    raster.line(line.from, line.to, ink);
    ExpectSamePixels(page, referenceLine(64, 48, clip.rect, line.from, line.to), "");
}

INSTANTIATE_TEST_SUITE_P(
    OctantsAndClips, RasterLines,
    ::testing::Combine(::testing::ValuesIn(shortLines), ::testing::ValuesIn(clips)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

TEST(RasterLine, UnclipCutsAtThePageOnly)
{
    Page page(64, 48);
    LineRaster raster(page.view());
    raster.clip({17, 13, 45, 29});
    raster.unclip();
    raster.line({-5, 24}, {80, 24}, ink);
    EXPECT_EQ(page.at(0, 24), ink);
    EXPECT_EQ(page.at(63, 24), ink);
    EXPECT_EQ(page.at(64, 24), 0u) << "the padding beyond the page";
}

// Lines far longer than the page, as a steep surface draws them: entered
// at their first visible pixel, they have exactly the pixels of the whole
// line.
struct FarLine {
    const char* name;
    DevicePoint from, to;
    DeviceRect clip;
};

class RasterFarLines : public ::testing::TestWithParam<FarLine> {};

TEST_P(RasterFarLines, SetThePixelsOfTheWholeLine)
{
    const FarLine& c = GetParam();
    Page page(800, 600);
    LineRaster raster(page.view());
    raster.clip(c.clip);
    raster.line(c.from, c.to, ink);
    ExpectSamePixels(page, referenceLine(800, 600, c.clip, c.from, c.to), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RasterFarLines,
    ::testing::Values(
        // The steep magenta line of f(x,y) = x*1e4 over x from -0.5 to 20.
        FarLine{"steep", {40, 1158736}, {640, -46336269}, {40, 30, 640, 570}},
        FarLine{"steepBack", {640, -46336269}, {40, 1158736}, {40, 30, 640, 570}},
        FarLine{"shallow", {-3000000, 100}, {5000000, 400}, {40, 30, 640, 570}},
        FarLine{"shallowBack", {5000000, 400}, {-3000000, 100}, {0, 0, 800, 600}},
        FarLine{"diagonal", {-100000, -100000}, {100000, 100000}, {100, 50, 300, 500}},
        FarLine{"antiDiagonal", {100000, -100000}, {-100000, 100000}, {100, 50, 300, 500}},
        FarLine{"cornerGrazing", {-1000, 51}, {799, 1850}, {0, 0, 800, 600}},
        FarLine{"horizontalAbove", {-100000, 20}, {100000, 20}, {100, 50, 300, 500}},
        FarLine{"vertical", {200, 700000}, {200, -700000}, {100, 50, 300, 500}},
        FarLine{"startsInside", {150, 100}, {3000, 90000}, {100, 50, 300, 500}},
        FarLine{"endsInside", {-7001, -90000}, {150, 100}, {100, 50, 300, 500}},
        FarLine{"missesTheClip", {0, 0}, {799, 40}, {100, 50, 300, 500}}),
    [](const auto& info) { return std::string(info.param.name); });

// Lines to the ends of the int range: no overflow (UBSan watches); each
// pixel set lies within a pixel of the true line, one at most in each
// column (row) of a line that runs more across (down) than down (across),
// and one in each where the line crosses the whole page that way.
struct RangeLine {
    DevicePoint from, to;
    bool crossesThePage;
};

TEST(RasterIntRange, LinesToTheEndsOfTheRangeStayOnTheirLine)
{
    const RangeLine lines[] = {{{10, 10}, {INT_MAX, INT_MAX}, false},
                               {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, false},
                               {{INT_MAX, 599 - INT_MAX}, {599 - INT_MAX, INT_MAX}, false},
                               {{599 - INT_MAX, INT_MAX}, {INT_MAX, 599 - INT_MAX}, false},
                               {{400, INT_MIN}, {401, INT_MAX}, true},
                               {{INT_MIN, 300}, {INT_MAX, 299}, true},
                               {{INT_MAX, 0}, {INT_MIN, 599}, true}};
    for (const RangeLine& line : lines) {
        Page page(800, 600);
        LineRaster raster(page.view());
        raster.line(line.from, line.to, ink);
        const double x0 = line.from.x, y0 = line.from.y, dx = double(line.to.x) - x0,
                     dy = double(line.to.y) - y0;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        std::vector<int> perRun(xMajor ? 800 : 600);
        int drawn = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 803; ++x) {
                if (page.at(x, y) == 0)
                    continue;
                ASSERT_LT(x, 800) << "beyond the page";
                ++drawn;
                ++perRun[xMajor ? x : y];
                EXPECT_LE(std::abs((x - x0) * dy - (y - y0) * dx) / std::hypot(dx, dy), 1.0)
                    << x << ", " << y;
            }
        const auto [fewest, most] = std::minmax_element(perRun.begin(), perRun.end());
        EXPECT_GT(drawn, 500) << line.from.x << ", " << line.from.y;
        EXPECT_EQ(*most, 1) << line.from.x << ", " << line.from.y;
        if (line.crossesThePage) {
            EXPECT_EQ(*fewest, 1) << line.from.x << ", " << line.from.y;
        }
    }
}

// Polylines as a dense mesh draws them (repeated points, single steps)
// and as a steep page does (long lines, far off the page, across the
// clip): one polyline sets the pixels of its lines drawn one by one.
struct PolylineCase {
    const char* name;
    std::vector<DevicePoint> points;
    DeviceRect clip;
};

void PrintTo(const PolylineCase& c, std::ostream* out) { *out << c.name; }

std::vector<DevicePoint> denseWalk(int count)
{
    // A walk of repeats and unit steps that wanders over a clip edge.
    std::vector<DevicePoint> points{{95, 60}};
    std::uint32_t state = 12345;
    for (int i = 1; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        const int move = static_cast<int>(state >> 16) % 9;
        DevicePoint p = points.back();
        if (move < 5) {
            p.x += move % 3 - 1;
            p.y += move / 3 == 0 ? 1 : -1;
        } else if (move == 5) {
            p.x += 1;
        }
        points.push_back(p);
    }
    return points;
}

// A staircase of single steps that never comes back to a pixel, long
// enough to be taken in several pieces: a pixel lost anywhere shows.
std::vector<DevicePoint> staircase(int count)
{
    std::vector<DevicePoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({5 + i / 8, 5 + (i + 4) / 8});
    return points;
}

// Each point repeated, the repeats straddling the pieces' ends.
std::vector<DevicePoint> repeated(std::vector<DevicePoint> points, int times)
{
    std::vector<DevicePoint> out;
    for (const DevicePoint p : points)
        out.insert(out.end(), std::size_t(times), p);
    return out;
}

class RasterPolylines : public ::testing::TestWithParam<PolylineCase> {};

TEST_P(RasterPolylines, SetThePixelsOfTheirLines)
{
    const PolylineCase& c = GetParam();
    Page whole(400, 300), byParts(400, 300);
    LineRaster wholeRaster(whole.view()), partsRaster(byParts.view());
    wholeRaster.clip(c.clip);
    partsRaster.clip(c.clip);
    wholeRaster.polyline(c.points, ink);
    for (std::size_t i = 1; i < c.points.size(); ++i)
        partsRaster.line(c.points[i - 1], c.points[i], ink);
    ExpectSamePixels(whole, byParts, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterPolylines,
    ::testing::Values(
        PolylineCase{"denseWalk", denseWalk(5000), {10, 10, 390, 290}},
        PolylineCase{"denseWalkOverTheEdge", denseWalk(5000), {97, 58, 200, 200}},
        PolylineCase{"repeatsOnly", std::vector<DevicePoint>(3000, DevicePoint{50, 50}),
                     {0, 0, 400, 300}},
        PolylineCase{"onePoint", {{20, 20}}, {0, 0, 400, 300}},
        PolylineCase{"noPoints", {}, {0, 0, 400, 300}},
        PolylineCase{"staircase", staircase(2300), {0, 0, 400, 300}},
        PolylineCase{"staircaseRepeated", repeated(staircase(900), 3), {0, 0, 400, 300}},
        PolylineCase{"longAndFar",
                     {{10, 10}, {10, 10}, {2000000, -50}, {2000000, -50}, {11, 11}, {12, 11},
                      {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {150, 150}, {151, 152}, {151, 152},
                      {399, 299}, {400, 300}},
                     {5, 5, 395, 295}},
        PolylineCase{"stepsOffThePage", {{0, 0}, {-1, -1}, {-1, 0}, {0, 1}, {399, 299}, {400, 299},
                                         {400, 300}, {399, 300}},
                     {0, 0, 400, 300}},
        PolylineCase{"emptyClip", denseWalk(300), {100, 100, 100, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

// Repeated points draw nothing of their own: a step's one pixel is its
// start, and only the end of the whole polyline is left out.
TEST(RasterPolyline, RepeatsAreDroppedAndTheLastEndIsLeftOut)
{
    Page page(64, 48);
    LineRaster raster(page.view());
    const DevicePoint points[] = {{5, 5}, {5, 5}, {6, 5}, {6, 5}, {6, 5}, {7, 6}, {7, 6}};
    raster.polyline(points, ink);
    std::vector<std::pair<int, int>> set;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 67; ++x)
            if (page.at(x, y) != 0)
                set.emplace_back(x, y);
    EXPECT_EQ(set, (std::vector<std::pair<int, int>>{{5, 5}, {6, 5}}));
}

// Segments cut in doubles to the area 0..100 x 0..50, as the painter's
// far lines are: the part inside, in the segment's own direction.
struct SegmentCut {
    const char* name;
    RealSegment segment;
    std::optional<RealSegment> inside;
};

class SegmentClips : public ::testing::TestWithParam<SegmentCut> {};

TEST_P(SegmentClips, KeepThePartInsideInItsDirection)
{
    EXPECT_EQ(clipSegment(GetParam().segment, 0, 0, 100, 50), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, SegmentClips,
    ::testing::Values(
        SegmentCut{"inside", {{10, 10}, {90, 40}}, RealSegment{{10, 10}, {90, 40}}},
        SegmentCut{"across", {{-1e9, 25}, {1e9, 25}}, RealSegment{{0, 25}, {100, 25}}},
        SegmentCut{"acrossBack", {{1e9, 25}, {-1e9, 25}}, RealSegment{{100, 25}, {0, 25}}},
        SegmentCut{"leavesAtTheBottom", {{50, 25}, {50, 1e12}}, RealSegment{{50, 25}, {50, 50}}},
        SegmentCut{"throughACorner", {{-10, -10}, {110, 110}}, RealSegment{{0, 0}, {50, 50}}},
        SegmentCut{"alongAnEdge", {{0, -10}, {0, 60}}, RealSegment{{0, 0}, {0, 50}}},
        SegmentCut{"besideAnEdge", {{-5, -10}, {-5, 60}}, std::nullopt},
        SegmentCut{"pastACorner", {{-10, 5}, {5, -10}}, std::nullopt},
        SegmentCut{"pointInside", {{7, 7}, {7, 7}}, RealSegment{{7, 7}, {7, 7}}},
        SegmentCut{"pointOutside", {{107, 7}, {107, 7}}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
