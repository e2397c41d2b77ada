// The loops built for two lanes and for four (where the processor has
// AVX2) against the rules they follow, one value at a time, bit for bit:
// every machine runs one of the widths, this one may run only the other.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "device/DeviceMapping.h"
#include "device/DistinctPoints.h"
#include "device/WideLanes.h"
#include "device/MappingLanes.h"
#include "expr/WideKernels.h"
#include "grid/GridAxis.h"
#include "grid/PlaceLanes.h"
#include "render/WalkLanes.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Values that meet every case: equal, between, either side, not numbers.
const double values[] = {0.5, -1.25, 0.5, 3, nan, inf, -inf, 0.75, -0.0, 0.0, 1e300, 2.5, -3};
constexpr std::size_t valueCount = std::size(values);

double valueAt(std::size_t i, std::size_t salt)
{
    return values[(i * 7 + salt) % valueCount];
}

// Counts that leave every tail of both widths, for both directions of a
// walk along the horizons.
class SeeLanes : public ::testing::TestWithParam<int> {};

TEST_P(SeeLanes, SeeAsTheHorizonsSay)
{
    const int step = GetParam();
    for (std::size_t count = 0; count <= 2 * valueCount; ++count) {
        std::vector<double> y(count), wantUp(count + 1), wantLow(count + 1);
        std::vector<std::uint8_t> want(count);
        for (std::size_t i = 0; i < count; ++i)
            y[i] = valueAt(i, 0);
        // Horizon column of sample i: i, or count - i on the way back.
        auto column = [&](std::size_t i) { return step > 0 ? i : count - i; };
        for (std::size_t c = 0; c <= count; ++c) {
            wantUp[c] = valueAt(c, 3);
            wantLow[c] = std::min(wantUp[c], valueAt(c, 5));
        }
        const std::vector<double> up0 = wantUp, low0 = wantLow;
        for (std::size_t i = 0; i < count; ++i) {
            double& up = wantUp[column(i)];
            double& low = wantLow[column(i)];
            want[i] = !(up >= y[i]) ? 1 : !(y[i] >= low) ? 2 : 0;
            up = want[i] == 1 ? y[i] : up;
            low = want[i] == 2 ? y[i] : low;
        }
        for (bool wide : {false, true}) {
            if (wide && !wideKernels())
                continue;
            std::vector<double> up = up0, low = low0;
            std::vector<std::uint8_t> seen(count, 9);
            double* upper = up.data() + column(0);
            double* lower = low.data() + column(0);
            if (wide)
                seeWide(step, y.data(), count, upper, lower, seen.data(), y.data(), count);
            else if (step > 0)
                seeLanes<2, 1>(y.data(), count, upper, lower, seen.data(), y.data(), count);
            else
                seeLanes<2, -1>(y.data(), count, upper, lower, seen.data(), y.data(), count);
            EXPECT_EQ(seen, want) << count << " samples, wide " << wide;
            for (std::size_t c = 0; c <= count; ++c)
                ASSERT_TRUE(same(up[c], wantUp[c]) && same(low[c], wantLow[c]))
                    << count << " samples, wide " << wide << ", column " << c;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, SeeLanes, ::testing::Values(1, -1));

TEST(ProjectLanes, ProjectEachSampleAsProjectYDoes)
{
    std::vector<double> forX(valueCount), forY(valueCount), z(valueCount);
    for (std::size_t i = 0; i < valueCount; ++i) {
        forX[i] = valueAt(i, 1) * 0.3;
        forY[i] = valueAt(i, 2) * 0.7;
        z[i] = valueAt(i, 4);
    }
    for (bool constantY : {true, false}) {
        const LineProjection p{forX.data(), forY.data(), 0.125, -1.75, 0.9659258262890683,
                               constantY};
        for (bool wide : {false, true}) {
            if (wide && !wideKernels())
                continue;
            std::vector<double> x(valueCount), y(valueCount);
            if (wide)
                projectAlongWide(p, z.data(), valueCount, x.data(), y.data());
            else
                projectAlongLanes(p, z.data(), valueCount, x.data(), y.data());
            for (std::size_t i = 0; i < valueCount; ++i) {
                const double wantX = constantY ? forX[i] + p.acrossX : p.acrossX + forX[i];
                const double wantY = (constantY ? p.acrossY - forY[i] : forY[i] - p.acrossY) +
                                     z[i] * p.cosTilt;
                ASSERT_TRUE(same(x[i], wantX) && same(y[i], wantY)) << i << " wide " << wide;
            }
        }
    }
}

TEST(PlaceLanes, PlaceEachCoordinateAsTheSpreadDoes)
{
    const GridAxis axis = GridAxis::spread(-2, 2, 33);
    const GridAxis::Spread& spread = *axis.spread();
    // Nodes, within the tolerance of one and exactly at it, and between.
    const double cell = 4.0 / 32, near = cell * GridAxis::nodeTolerance / 2, edge = 2 * near;
    std::vector<double> x = {-2, 2, -2 - near, 2 + near, -2 - cell, 2 + cell, nan, inf, -inf};
    for (int j = 0; j < 33; ++j)
        for (double offset : {0.0, near, -near, edge, -edge, 3 * near, cell / 3, -cell / 7})
            x.push_back(-2 + j * cell + offset);
    for (bool wide : {false, true}) {
        if (wide && !wideKernels())
            continue;
        std::vector<std::int32_t> node(x.size(), 99);
        std::vector<double> t(x.size(), 99);
        const std::size_t done =
            wide ? placeFourLanes(spread, x.data(), x.size(), node.data(), t.data())
                 : placeLanes<TwoPlaceLanes>(spread, x.data(), x.size(), node.data(), t.data());
        EXPECT_GE(done + (wide ? 4 : 2), x.size() + 1);
        for (std::size_t i = 0; i < done; ++i) {
            const GridAxis::Place want = spread.place(x[i]);
            ASSERT_TRUE(node[i] == want.node && same(t[i], want.t))
                << x[i] << " wide " << wide << ": " << node[i] << ", " << t[i];
        }
    }
}

TEST(MappingLanes, TwoLanesMapAsOnePointDoes)
{
    const DeviceMapping mapping(-2.5, -1.75, 160.3, 212.9, 40, 570);
    const MappingConstants k{-2.5, -1.75, 160.3, 212.9, 40, 570};
    for (double scale : {1.0, 1e7}) {
        std::vector<double> x(valueCount), y(valueCount);
        for (std::size_t i = 0; i < valueCount; ++i) {
            x[i] = valueAt(i, 1) * scale;
            y[i] = valueAt(i, 6);
        }
        for (std::size_t count : {std::size_t{4}, valueCount}) {
            std::vector<DevicePoint> out(count);
            bool notNumber = false, wantNotNumber = false;
            const std::size_t done = mapLanes<TwoLanes>(k, x.data(), y.data(), count, out.data(),
                                                        notNumber);
            for (std::size_t i = 0; i < done; ++i) {
                const MappedPoint want = mapping.map(x[i], y[i]);
                wantNotNumber = wantNotNumber || !want.valid;
                ASSERT_EQ(out[i], want.at) << "scale " << scale << ", point " << i;
            }
            EXPECT_EQ(notNumber, wantNotNumber) << "scale " << scale << ", " << count;
        }
    }
}

// Runs of one point, points that differ in x alone or in y alone, and
// lengths that leave every tail of four.
TEST(DistinctLanes, KeepEachPointUnlikeTheOneBefore)
{
    std::vector<DevicePoint> points{{5, 5}};
    for (int i = 0; i < 40; ++i) {
        DevicePoint p = points.back();
        p.x += i % 3 == 0;
        p.y -= i % 5 == 1;
        points.push_back(p);
    }
    for (std::size_t count = 0; count + 1 <= points.size(); ++count) {
        std::vector<DevicePoint> want;
        for (std::size_t i = 1; i <= count; ++i)
            if (!(points[i] == points[i - 1]))
                want.push_back(points[i]);
        for (bool wide : {false, true}) {
            if (wide && !wideDeviceLanes())
                continue;
            std::vector<DevicePoint> out(count + 4);
            const std::size_t kept = wide ? keepDistinctWide(points.data() + 1, count, out.data())
                                          : keepDistinct(points.data() + 1, count, out.data());
            out.resize(kept);
            EXPECT_EQ(out, want) << count << " points, wide " << wide;
        }
    }
}

} // namespace
