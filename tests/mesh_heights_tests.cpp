// The kept, streamed and parallel mesh heights against the renderer's
// own samples, bit for bit.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "render/ComposePage.h"
#include "render/MeshHeights.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/DataSheet.h"
#include "sheets/Sheets.h"
#include "device/RecordingCanvas.h"
#include "tests/FakeCanvas.h"
#include "tests/SurfaceOracle.h"

namespace {

// The function sheet the tests of this file build their f on.
DataSheet fdata;

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Heights match bit for bit, except that any NaN matches any NaN: which of
// two NaN operands an operation passes on, and so the sign and payload of
// a NaN, is left to the compiler's order of operands in either path (and
// nothing downstream tells NaNs apart).
bool sameHeight(double a, double b)
{
    return sameBits(a, b) || (std::isnan(a) && std::isnan(b));
}

struct Sample {
    double x, y, z;
};

// Every evaluation the renderer makes, in its order.
class Recorder final : public ZFunction {
public:
    explicit Recorder(SurfaceFunction& f) : f_(f) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        for (std::size_t i = 0; i < z.size(); ++i) {
            const double h = f_.height(x[i], y[i]);
            samples.push_back({x[i], y[i], h});
            z[i] = h;
        }
    }
    bool sameHeights(const ZFunction&) const override { return false; }
    std::unique_ptr<ZFunction> snapshot() const override { return f_.snapshot(); }
    mutable std::vector<Sample> samples;

private:
    SurfaceFunction& f_;
};

struct Box {
    double x1 = -2, x2 = 2, y1 = -2, y2 = 2;
    int m = 40, n = 20, k = 10;
};

SurfaceMesh meshOf(const Box& b, double z1, double z2)
{
    return {{b.x1, b.x2, b.y1, b.y2, z1, z2}, b.m, b.n, b.k};
}

std::vector<Sample> samplesOfDrawSurface(SurfaceFunction& f, const Box& b)
{
    TestWindow window(800, 600);
    PlotDevice device(window);
    device.beginDrawing();
    device.setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.selectPen(13);
    Recorder recorder(f);
    drawOracleSurface(device, recorder, meshOf(b, 0, 1), 15);
    device.finishDrawing();
    return std::move(recorder.samples);
}

MeshLattice latticeOf(const Box& b)
{
    return {b.x1, b.x2, b.y1, b.y2, b.m, b.n, b.k};
}

// The lines in the renderer's order: front, lines of constant y, the
// front again for the reset, lines of constant x.
std::vector<MeshLattice::Line> sweepOrder(const MeshLattice& lattice)
{
    using Family = MeshLattice::Family;
    std::vector<MeshLattice::Line> lines{{Family::Front, 0}};
    for (std::int64_t r = 1; r <= lattice.lines(Family::ConstantY); ++r)
        lines.push_back({Family::ConstantY, r});
    lines.push_back({Family::Front, 0});
    for (std::int64_t q = 1; q <= lattice.lines(Family::ConstantX); ++q)
        lines.push_back({Family::ConstantX, q});
    return lines;
}

// The heights and points the lattice gives, in the sweep order.
std::vector<Sample> sweep(MeshHeights& heights, const MeshLattice& lattice)
{
    std::vector<Sample> samples;
    for (const MeshLattice::Line& line : sweepOrder(lattice)) {
        const std::span<const double> z = heights.line(line);
        std::vector<double> x(z.size()), y(z.size());
        lattice.points(line, 0, z.size(), x.data(), y.data());
        for (std::size_t i = 0; i < z.size(); ++i)
            samples.push_back({x[i], y[i], z[i]});
    }
    return samples;
}

void expectSameSamples(const std::vector<Sample>& got, const std::vector<Sample>& want,
                       const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_TRUE(sameBits(got[i].x, want[i].x) && sameBits(got[i].y, want[i].y) &&
                    sameHeight(got[i].z, want[i].z))
            << what << ": sample " << i << " at (" << want[i].x << ", " << want[i].y
            << ") should be " << want[i].z << ", is (" << got[i].x << ", " << got[i].y << ") "
            << got[i].z;
}

// The ways of computing: kept on one thread and on two, and beyond a
// budget of about two lines and of less than one, line by line.
const MeshHeights::Limits ways[] = {
    {std::size_t{256} << 20, 1}, {std::size_t{256} << 20, 2}, {std::size_t{256} << 20, 0},
    {800 * sizeof(double), 2},   {16, 2},
};

struct Sheet {
    const char* name;
    const char* expression;
    Box box;
    double theta = 0;
    const char* a = "5";
    // Of the pages drawn from the sheet; the heights do not depend on it.
    double tilt = 15;
};

const Sheet sheets[] = {
    {"defaults", "exp(-(x*x+4*y*y))", {}},
    {"thetaTurnsAboutTheCentre", "exp(-(x*x+4*y*y))*(1+x)", {-1, 3, -2, 0.5, 12, 9, 3}, 37.5},
    {"domainErrors", "sqrt(x)/log(y+1)+1/(x*y)", {-2, 2, -2, 2, 16, 8, 4}, 20},
    {"notANumberAndInfinity", "x^y+exp(800*x)", {-2, 2, -2, 2, 10, 10, 3}},
    {"parseErrorIsFlat", "exp(-(x*x", {}},
    {"parameter", "a*sin(x)*cos(y)", {-3, 3, -1, 1, 14, 6, 5}, -90, "-2.25"},
    {"noIntervalsAlongY", "x*x-y", {-2, 2, -2, 2, 7, 0, 3}, 10},
    {"noIntervalsAlongX", "x*x-y", {-2, 2, -2, 2, 0, 7, 3}, 10},
    {"noSubSteps", "x*x-y", {-2, 2, -2, 2, 5, 4, 0}, 10},
    {"oneSubStep", "|x|+|y|", {-2, 2, -2, 2, 9, 5, 1}, 45},
    {"columnBookkeeping", "x+10*y", {-2, 2, -2, 2, 2, 1, 2}},
    {"reversedBox", "x-2*y", {1, -1, 3, -3, 6, 4, 2}, 15},
    {"longLines", "exp(-(x*x+4*y*y))", {-2, 2, -2, 2, 3, 2, 3000}, 5},
    {"undersideSeen", "exp(-(x*x+4*y*y))", {}, 0, "5", -35},
    {"fromAbove", "x*y", {-2, 2, -2, 2, 20, 20, 2}, 0, "5", 90},
    {"upsideDown", "sin(3*x)*y", {-2, 2, -2, 2, 15, 10, 3}, 25, "5", -90},
    {"divisionByZeroAlongALine", "1/(x-y)", {-2, 2, -2, 2, 12, 12, 3}, 0, "5", 40},
    {"logOfNegatives", "log(x)+y", {-2, 2, -2, 2, 10, 8, 2}, 0, "5", 20},
    {"positiveInfinity", "exp(1000*y)", {-2, 2, -2, 2, 10, 8, 2}, 0, "5", 30},
    {"negativeInfinity", "-exp(1000*x)", {-2, 2, -2, 2, 10, 8, 2}, 0, "5", -20},
    {"infinityMinusInfinity", "exp(1000*x)-exp(1000*x)", {-2, 2, -2, 2, 10, 8, 2}, 0, "5", 10},
    {"hugeHeights", "1e300*x*y", {-2, 2, -2, 2, 9, 7, 2}, 60, "5", 45},
    {"parameterAndTurn", "a*x*x+y", {-3, 1, -1, 2, 11, 13, 2}, -120, "0.5", 35},
    {"emptyExpression", "", {-2, 2, -2, 2, 6, 6, 2}, 0, "5", 30},
    {"unknownName", "foo(x)+y", {-2, 2, -2, 2, 6, 6, 2}, 0, "5", 30},
    {"constant", "0.25", {-2, 2, -2, 2, 6, 6, 2}, 0, "5", 30},
    {"tinyBox", "x+y", {0, 1e-300, 0, 1e-300, 5, 5, 2}, 0, "5", 30},
    {"pointBox", "x+y", {1, 1, 1, 1, 4, 4, 2}, 0, "5", 30},
    {"wideAndShallow", "sin(x)+y/4", {-6, 6, -1, 1, 60, 3, 2}, 0, "5", 25},
    {"narrowAndDeep", "sin(y)+x/4", {-1, 1, -6, 6, 3, 60, 2}, 0, "5", 25},
    {"noIntervalsAtAll", "x*x-y", {-2, 2, -2, 2, 0, 0, 5}, 0, "5", 30},
    {"fractionalPowers", "(-x)^0.5+y^3", {-2, 2, -2, 2, 14, 9, 2}, 15, "5", 50},
};

void PrintTo(const Sheet& sheet, std::ostream* out)
{
    *out << '"' << sheet.expression << "\" m " << sheet.box.m << " n " << sheet.box.n << " k "
         << sheet.box.k;
}

class Heights : public ::testing::TestWithParam<Sheet> {
protected:
    void SetUp() override
    {
        fdata = defaultFunctionSheet();
        buildLine(fdata[1], "a", GetParam().a);
        buildLine(fdata[6], "f(x,y)", GetParam().expression);
    }
};

TEST_P(Heights, EveryWayGivesTheRenderersSamples)
{
    const Sheet& sheet = GetParam();
    SurfaceFunction f(fdata);
    f.setCentre((sheet.box.x1 + sheet.box.x2) / 2, (sheet.box.y1 + sheet.box.y2) / 2);
    f.parse();
    f.setParameters();
    f.setTheta(sheet.theta);
    const std::vector<Sample> drawn = samplesOfDrawSurface(f, sheet.box);
    const MeshLattice lattice = latticeOf(sheet.box);
    for (const MeshHeights::Limits& limits : ways) {
        MeshHeights heights(limits);
        EXPECT_TRUE(heights.prepare(f, lattice));
        EXPECT_EQ(heights.keepsAll(),
                  limits.budgetBytes > 1000 * sizeof(double) ||
                      lattice.samples() * sizeof(double) <= limits.budgetBytes);
        expectSameSamples(sweep(heights, lattice), drawn,
                          std::string(sheet.name) + ", budget " +
                              std::to_string(limits.budgetBytes) + ", threads " +
                              std::to_string(limits.threads));
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, Heights, ::testing::ValuesIn(sheets),
                         [](const auto& info) { return std::string(info.param.name); });

// What the page holds that the heights depend on.
struct Inputs {
    std::string expression = "a*exp(-(x*x+4*y*y))";
    std::string a = "1.5";
    double theta = 30, centreX = 0, centreY = 0;
    Box box{-2, 2, -2, 2, 8, 6, 3};
};

struct Change {
    const char* name;
    std::function<void(Inputs&)> apply;
};

const Change changes[] = {
    {"expression", [](Inputs& in) { in.expression = "a*exp(-(x*x+3*y*y))"; }},
    {"parameter", [](Inputs& in) { in.a = "1.25"; }},
    {"theta", [](Inputs& in) { in.theta = 31; }},
    {"centreX", [](Inputs& in) { in.centreX = 0.5; }},
    {"centreY", [](Inputs& in) { in.centreY = -0.5; }},
    {"x1", [](Inputs& in) { in.box.x1 = -1.5; }},
    {"x2", [](Inputs& in) { in.box.x2 = 2.5; }},
    {"y1", [](Inputs& in) { in.box.y1 = -1; }},
    {"y2", [](Inputs& in) { in.box.y2 = 1; }},
    {"m", [](Inputs& in) { in.box.m = 9; }},
    {"n", [](Inputs& in) { in.box.n = 5; }},
    {"k", [](Inputs& in) { in.box.k = 4; }},
};

void PrintTo(const Change& change, std::ostream* out)
{
    *out << change.name;
}

class Reuse : public ::testing::TestWithParam<Change> {
protected:
    void SetUp() override
    {
        fdata = defaultFunctionSheet();
        surface = std::make_unique<SurfaceFunction>(fdata);
    }

    // The surface the page would make of these inputs.
    const ZFunction& surfaceOf(const Inputs& in)
    {
        buildLine(fdata[1], "a", in.a.c_str());
        buildLine(fdata[6], "f(x,y)", in.expression.c_str());
        surface->setCentre(in.centreX, in.centreY);
        surface->parse();
        surface->setParameters();
        surface->setTheta(in.theta);
        return *surface;
    }

    // The scalar heights at the lattice's points, in the sweep order.
    std::vector<Sample> scalarHeights(const MeshLattice& lattice)
    {
        std::vector<Sample> samples;
        for (const MeshLattice::Line& line : sweepOrder(lattice)) {
            const auto count = static_cast<std::size_t>(lattice.length(line.family));
            std::vector<double> x(count), y(count);
            lattice.points(line, 0, count, x.data(), y.data());
            for (std::size_t i = 0; i < count; ++i)
                samples.push_back({x[i], y[i], surface->height(x[i], y[i])});
        }
        return samples;
    }

    std::unique_ptr<SurfaceFunction> surface;
};

// A tilt step makes the same surface over the same lattice: the kept
// heights serve. Any change of what the heights depend on recomputes them.
TEST_P(Reuse, ChangingAHeightInputAfterATiltStepRecomputes)
{
    Inputs in;
    MeshHeights heights;
    ASSERT_TRUE(heights.prepare(surfaceOf(in), latticeOf(in.box)));
    ASSERT_TRUE(heights.keepsAll());
    EXPECT_FALSE(heights.prepare(surfaceOf(in), latticeOf(in.box))) << "tilt step";
    const std::vector<Sample> before = sweep(heights, latticeOf(in.box));

    GetParam().apply(in);
    EXPECT_TRUE(heights.prepare(surfaceOf(in), latticeOf(in.box))) << GetParam().name;
    const std::vector<Sample> after = sweep(heights, latticeOf(in.box));
    expectSameSamples(after, scalarHeights(latticeOf(in.box)), GetParam().name);
    bool differs = after.size() != before.size();
    for (std::size_t i = 0; !differs && i < after.size(); ++i)
        differs = !sameBits(after[i].z, before[i].z) || !sameBits(after[i].x, before[i].x);
    EXPECT_TRUE(differs) << "the change shows in the heights";
    EXPECT_FALSE(heights.prepare(surfaceOf(in), latticeOf(in.box))) << "and is kept again";
}

INSTANTIATE_TEST_SUITE_P(Inputs, Reuse, ::testing::ValuesIn(changes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MeshHeightsLines, StreamedLinesComeInAnyOrder)
{
    fdata = defaultFunctionSheet();
    SurfaceFunction f(fdata);
    f.parse();
    f.setTheta(10);
    const MeshLattice lattice(-2, 2, -2, 2, 12, 7, 5);
    MeshHeights kept, streamed({3 * 61 * sizeof(double), 2});
    kept.prepare(f, lattice);
    EXPECT_TRUE(streamed.prepare(f, lattice));
    EXPECT_TRUE(streamed.prepare(f, lattice)) << "nothing kept to reuse";
    EXPECT_FALSE(streamed.keepsAll());
    auto same = [](std::span<const double> a, std::span<const double> b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameHeight);
    };
    for (std::int64_t r : {7, 1, 4, 5, 6, 2})
        EXPECT_TRUE(same(streamed.lineOfConstantY(r), kept.lineOfConstantY(r))) << r;
    for (std::int64_t q : {12, 3, 1})
        EXPECT_TRUE(same(streamed.lineOfConstantX(q), kept.lineOfConstantX(q))) << q;
    EXPECT_TRUE(same(streamed.front(), kept.front()));
}

// A surface that is not a formula, counting the points it is asked for.
class CountedPlane final : public ZFunction {
public:
    explicit CountedPlane(double slope) : slope_(slope) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        *points_ += static_cast<long>(z.size());
        for (std::size_t i = 0; i < z.size(); ++i)
            z[i] = slope_ * x[i] + y[i];
    }
    bool sameHeights(const ZFunction& other) const override
    {
        const auto* plane = dynamic_cast<const CountedPlane*>(&other);
        return plane != nullptr && plane->slope_ == slope_;
    }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<CountedPlane>(*this);
    }
    long points() const { return *points_; }

private:
    double slope_;
    std::shared_ptr<std::atomic<long>> points_ = std::make_shared<std::atomic<long>>(0);
};

// prepare computes every kept height, on any number of threads, before it
// returns; the lines then ask the surface nothing, and a tilt step asks
// only whether it is the same surface.
TEST(MeshHeightsLines, KeptHeightsAreAllComputedByPrepare)
{
    const MeshLattice lattice(-2, 2, -2, 2, 40, 30, 8);
    for (int threads : {1, 2, 0}) {
        const CountedPlane plane(2);
        MeshHeights heights({std::size_t{256} << 20, threads});
        EXPECT_TRUE(heights.prepare(plane, lattice));
        EXPECT_EQ(plane.points(), lattice.samples()) << threads;
        const std::vector<Sample> swept = sweep(heights, lattice);
        EXPECT_EQ(plane.points(), lattice.samples()) << "the lines ask for nothing";
        for (const Sample& s : swept)
            ASSERT_EQ(s.z, 2 * s.x + s.y) << threads;
        EXPECT_FALSE(heights.prepare(CountedPlane(2), lattice)) << "the same heights";
        EXPECT_EQ(plane.points(), lattice.samples());
        EXPECT_TRUE(heights.prepare(CountedPlane(3), lattice));
        EXPECT_EQ(heights.lineOfConstantX(40)[0], 3 * 2 + -2.0);
    }
}

// Heights left to be computed as they are asked for: threads asking for
// lines in opposite orders while another computes alongside get every
// height once, the walk's own.
TEST(MeshHeightsLines, HeightsAskedForAreComputedOnce)
{
    const MeshLattice lattice(-2, 2, -2, 2, 40, 30, 8);
    const CountedPlane plane(2);
    MeshHeights heights({std::size_t{256} << 20, 3});
    EXPECT_TRUE(heights.prepare(plane, lattice, MeshHeights::When::AsAsked));
    EXPECT_TRUE(heights.pending());
    heights.computeAlongside([] {});
    std::vector<MeshLattice::Line> order = sweepOrder(lattice);
    auto check = [&](const std::vector<MeshLattice::Line>& lines) {
        for (const MeshLattice::Line& line : lines) {
            const std::span<const double> z = heights.line(line);
            std::vector<double> x(z.size()), y(z.size());
            lattice.points(line, 0, z.size(), x.data(), y.data());
            for (std::size_t i = 0; i < z.size(); ++i)
                if (z[i] != 2 * x[i] + y[i])
                    return false;
        }
        return true;
    };
    bool forward = false, backward = false;
    {
        std::jthread one([&] { forward = check(order); });
        std::jthread other([&] { backward = check({order.rbegin(), order.rend()}); });
        heights.computeRest();
    }
    EXPECT_TRUE(forward && backward);
    EXPECT_FALSE(heights.pending());
    EXPECT_EQ(plane.points(), lattice.samples());
}

// A surface that fails in the box's back right corner, which neither the
// front nor the first lines reach.
class FailingPlane final : public ZFunction {
public:
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        for (std::size_t i = 0; i < z.size(); ++i) {
            if (x[i] > 1.5 && y[i] > 1.9)
                throw std::runtime_error("no height here");
            z[i] = x[i] + y[i];
        }
    }
    bool sameHeights(const ZFunction& other) const override
    {
        return dynamic_cast<const FailingPlane*>(&other) != nullptr;
    }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<FailingPlane>(*this);
    }
};

// What a height throws reaches whoever asks for a line then, and the same
// surface prepared again is computed anew, not taken as kept.
TEST(MeshHeightsLines, AHeightThatFailsIsThrownToWhoeverAsksForItsLine)
{
    const MeshLattice lattice(-2, 2, -2, 2, 40, 30, 8);
    MeshHeights heights({std::size_t{256} << 20, 2});
    EXPECT_TRUE(heights.prepare(FailingPlane(), lattice, MeshHeights::When::AsAsked));
    bool worked = false;
    EXPECT_NO_THROW(heights.computeAlongside([&] { worked = true; }));
    EXPECT_TRUE(worked);
    EXPECT_EQ(heights.lineOfConstantX(1)[0], -1.9 + -2.0);
    EXPECT_THROW(heights.lineOfConstantX(40), std::runtime_error);
    EXPECT_THROW(heights.prepare(FailingPlane(), lattice), std::runtime_error);
    EXPECT_TRUE(heights.prepare(CountedPlane(1), lattice, MeshHeights::When::AsAsked));
    EXPECT_EQ(heights.lineOfConstantX(40)[0], 2.0 + -2.0);
}

TEST(MeshHeightsLines, OnlyTheLatticesLinesExist)
{
    fdata = defaultFunctionSheet();
    SurfaceFunction f(fdata);
    f.parse();
    MeshHeights heights;
    EXPECT_THROW(heights.front(), std::out_of_range) << "before any prepare";
    heights.prepare(f, MeshLattice(-2, 2, -2, 2, 4, 3, 2));
    EXPECT_EQ(heights.front().size(), 1u + 6 + 8);
    EXPECT_EQ(heights.lineOfConstantY(3).size(), 9u);
    EXPECT_EQ(heights.lineOfConstantX(4).size(), 7u);
    EXPECT_THROW(heights.lineOfConstantY(0), std::out_of_range);
    EXPECT_THROW(heights.lineOfConstantY(4), std::out_of_range);
    EXPECT_THROW(heights.lineOfConstantX(5), std::out_of_range);
    EXPECT_THROW(heights.line({MeshLattice::Family::Front, 1}), std::out_of_range);

    for (const MeshLattice& refused :
         {MeshLattice(-2, 2, -2, 2, -1, 3, 2), MeshLattice(-2, 2, -2, 2, 4, 3, -2),
          MeshLattice(-2, 2, -2, 2, 1 << 30, 1 << 30, 1 << 30)}) {
        EXPECT_FALSE(refused.valid());
        heights.prepare(f, refused);
        EXPECT_FALSE(heights.keepsAll());
        EXPECT_THROW(heights.front(), std::out_of_range);
    }
}

} // namespace

namespace {

bool sameCall(const RecordedCall& a, const RecordedCall& b)
{
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.rect == b.rect &&
           a.colour == b.colour && a.width == b.width && a.text == b.text;
}

void expectSameCalls(const std::vector<RecordedCall>& got, const std::vector<RecordedCall>& want,
                     const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_TRUE(sameCall(got[i], want[i]))
            << what << ": call " << i << " from (" << got[i].from.x << ", " << got[i].from.y
            << ") to (" << got[i].to.x << ", " << got[i].to.y << "), should be from ("
            << want[i].from.x << ", " << want[i].from.y << ") to (" << want[i].to.x << ", "
            << want[i].to.y << ")";
}

// A surface viewport on an 800 x 600 window in the surface pen, whose
// canvas calls are kept.
class SurfacePicture {
public:
    SurfacePicture() : window_(800, 600), device_(window_)
    {
        device_.beginDrawing();
        device_.setViewport(5, 80, 5, 85, ClipMode::Clip);
        device_.selectPen(13);
        window_.clearCalls();
    }

    // The calls of the picture, finished.
    std::vector<RecordedCall> finish()
    {
        device_.finishDrawing();
        return window_.calls();
    }

    PlotDevice& device() { return device_; }

private:
    TestWindow window_;
    PlotDevice device_;
};

std::vector<RecordedCall> scalarPicture(SurfaceFunction& f, const Box& b, double tilt)
{
    SurfacePicture picture;
    drawOracleSurface(picture.device(), f, meshOf(b, -1, 1), tilt);
    return picture.finish();
}

std::vector<RecordedCall> keptPicture(const ZFunction& f, MeshHeights& heights, const Box& b,
                                      double tilt)
{
    SurfacePicture picture;
    const SurfaceMesh mesh = meshOf(b, -1, 1);
    drawSurface(picture.device(), f, heights, mesh, projectionOf(mesh, tilt));
    return picture.finish();
}

} // namespace

// The program's renderer, with heights batched, streamed and parallel,
// draws the oracle's picture call for call; so do kept heights at another
// tilt.
TEST_P(Heights, EveryWayDrawsTheScalarPicture)
{
    const Sheet& sheet = GetParam();
    SurfaceFunction f(fdata);
    f.setCentre((sheet.box.x1 + sheet.box.x2) / 2, (sheet.box.y1 + sheet.box.y2) / 2);
    f.parse();
    f.setParameters();
    f.setTheta(sheet.theta);
    const double otherTilt = sheet.tilt > 0 ? -sheet.tilt / 2 : 40;
    const std::vector<RecordedCall> scalar = scalarPicture(f, sheet.box, sheet.tilt);
    const std::vector<RecordedCall> scalarOther = scalarPicture(f, sheet.box, otherTilt);
    for (const MeshHeights::Limits& limits : ways) {
        const std::string way = std::string(sheet.name) + ", budget " +
                                std::to_string(limits.budgetBytes) + ", threads " +
                                std::to_string(limits.threads);
        MeshHeights heights(limits);
        expectSameCalls(keptPicture(f, heights, sheet.box, sheet.tilt), scalar, way);
        expectSameCalls(keptPicture(f, heights, sheet.box, otherTilt), scalarOther,
                        way + ", tilt step");
    }
}

namespace {

// What a page's heights depend on, changed one at a time on the sheets or
// the live angles.
struct PageChange {
    const char* name;
    std::function<void(Sheets&, ViewAngles&)> apply;
};

void setLine(DataSheet& sheet, std::size_t line, const char* value)
{
    const std::string name = sheet[line].name;
    buildLine(sheet[line], name.c_str(), value);
}

const PageChange pageChanges[] = {
    {"expression", [](Sheets& s, ViewAngles&) { setLine(s.fdata, 6, "a*exp(-(x*x+3*y*y))"); }},
    {"parameter", [](Sheets& s, ViewAngles&) { setLine(s.fdata, 1, "1.25"); }},
    {"theta", [](Sheets&, ViewAngles& v) { v.theta = 40; }},
    {"x1", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::x1, "-1.5"); }},
    {"x2", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::x2, "2.5"); }},
    {"y1", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::y1, "-1"); }},
    {"y2", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::y2, "1"); }},
    {"m", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::m, "9"); }},
    {"n", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::n, "5"); }},
    {"k", [](Sheets& s, ViewAngles&) { setLine(s.sdata, SettingsLine::k, "4"); }},
};

void PrintTo(const PageChange& change, std::ostream* out)
{
    *out << change.name;
}

// Pages of the orientation window (the live angles rule) on an 800 x 600
// plot window, with heights kept from page to page or made for each.
class KeptPages : public ::testing::TestWithParam<PageChange> {
protected:
    KeptPages()
    {
        setLine(sheets.fdata, 6, "a*exp(-(x*x+4*y*y))");
        setLine(sheets.sdata, SettingsLine::m, "8");
        setLine(sheets.sdata, SettingsLine::n, "6");
        setLine(sheets.sdata, SettingsLine::k, "3");
        view.tilt = 20;
        view.theta = 30;
    }

    std::vector<RecordedCall> page(MeshHeights* heights)
    {
        TestWindow window(800, 600);
        PlotDevice device(window);
        SurfaceFunction surface(sheets.fdata);
        PageContext context{device, sheets, &surface, view, heights};
        composePage(context, PageTarget::Screen);
        return window.calls();
    }

    Sheets sheets;
    ViewAngles view;
};

// After a step of tilt alone, which draws from the kept heights, a change
// of any height input draws the page of fresh heights.
TEST_P(KeptPages, ChangingAHeightInputAfterATiltStepRedrawsFromNewHeights)
{
    MeshHeights kept;
    page(&kept);
    view.tilt = 35;
    expectSameCalls(page(&kept), page(nullptr), "tilt step");
    const std::vector<RecordedCall> tilted = page(nullptr);
    GetParam().apply(sheets, view);
    const std::vector<RecordedCall> fresh = page(nullptr);
    expectSameCalls(page(&kept), fresh, GetParam().name);
    bool differs = fresh.size() != tilted.size();
    for (std::size_t i = 0; !differs && i < fresh.size(); ++i)
        differs = !sameCall(fresh[i], tilted[i]);
    EXPECT_TRUE(differs) << "the change shows on the page";
}

INSTANTIATE_TEST_SUITE_P(Inputs, KeptPages, ::testing::ValuesIn(pageChanges),
                         [](const auto& info) { return std::string(info.param.name); });

std::shared_ptr<const HeightGrid> gridOf(const std::string& text)
{
    std::istringstream in(text);
    GridRead read = readGrid(in, "page.csv");
    EXPECT_TRUE(read) << read.error;
    return read.grid;
}

// Pages of a grid as the plot window draws them, the surface function
// and the heights living from page to page.
class KeptGridPages : public ::testing::Test {
protected:
    KeptGridPages() { setGridLines(sheets, *first, "first.csv"); }

    std::vector<RecordedCall> page(MeshHeights* heights, std::shared_ptr<const HeightGrid> grid)
    {
        TestWindow window(800, 600);
        PlotDevice device(window);
        composePage({device, sheets, &surface, view, heights, std::move(grid)}, PageTarget::Screen);
        return window.calls();
    }

    MeshLattice lattice() const
    {
        const PlotSettings s = readPlotSettings(sheets.sdata);
        return MeshLattice(s.x1, s.x2, s.y1, s.y2, s.m, s.n, s.k);
    }

    const std::shared_ptr<const HeightGrid> first =
        gridOf("0 1 2 1 0\n1 3 4 2 1\n0 2 5 3 0\n1 1 2 1 1\n");
    // The same shape, so that only the heights tell the two apart.
    const std::shared_ptr<const HeightGrid> second =
        gridOf("5 1 2 1 0\n1 0 4 2 1\n0 2 1 3 4\n1 1 2 1 1\n");
    Sheets sheets;
    SurfaceFunction surface{sheets.fdata};
    ViewAngles view{20, 0};
};

// A tilt step draws from the kept heights of the grid; another grid, or
// none, draws from its own.
TEST_F(KeptGridPages, ATiltStepReusesTheGridsHeightsAndAnotherGridDoesNot)
{
    MeshHeights kept;
    page(&kept, first);
    EXPECT_FALSE(kept.prepare(surface, lattice())) << "the page's grid is the kept one";
    view.tilt = 35;
    const std::vector<RecordedCall> tilted = page(nullptr, first);
    expectSameCalls(page(&kept, first), tilted, "tilt step");

    const std::vector<RecordedCall> other = page(nullptr, second);
    expectSameCalls(page(&kept, second), other, "another grid");
    EXPECT_FALSE(std::equal(other.begin(), other.end(), tilted.begin(), tilted.end(), sameCall))
        << "the grids' pages differ";
    expectSameCalls(page(&kept, nullptr), page(nullptr, nullptr), "no grid");
}

} // namespace
