// The batched evaluation against the scalar one, bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "expr/LineEvaluator.h"
#include "expr/SurfaceFunction.h"
#include "sheets/DataSheet.h"

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

// What a row must make happen at one point at least, so that the
// comparison covers it.
enum class Shows { Nothing, DomainError, NotANumber, Infinity, NegativeZero };

struct Row {
    const char* name;
    const char* expression;
    Shows shows = Shows::Nothing;
    const char* a = "5";
    const char* b = "1";
    const char* e = "1";
};

const Row rows[] = {
    {"defaultF", "exp(-(x*x+4*y*y))"},
    {"product", "x*y", Shows::NegativeZero},
    {"reciprocal", "1/x", Shows::DomainError},
    {"divideBySelfDifference", "1/(x-x)", Shows::DomainError},
    {"zeroDividedBy", "0/x", Shows::NegativeZero},
    {"logOutsideDomain", "log(x)", Shows::DomainError},
    {"sqrtOutsideDomain", "sqrt(y)", Shows::DomainError},
    {"logOfZero", "log(0)+x", Shows::DomainError},
    {"powerOfNegativeIsNaN", "(-1)^0.5", Shows::NotANumber},
    {"powerOfNegativeBase", "x^y", Shows::NotANumber},
    {"negativeExponent", "x^(-1)", Shows::Infinity},
    {"zeroToNegativePower", "(x-x)^(-1)", Shows::Infinity},
    {"expOverflows", "exp(1000*x)", Shows::Infinity},
    {"coshOverflows", "cosh(300*y)", Shows::Infinity},
    {"productOverflows", "(x*1e200)*(y*1e200)", Shows::NotANumber},
    {"tangent", "tan(x)"},
    {"arcTangentOfQuotient", "atan(x/y)", Shows::DomainError},
    {"bars", "|x-y|"},
    {"step", "step(x*y)"},
    {"hyperbolics", "sinh(x)*tanh(y)"},
    {"parameterA", "a*exp(-(x*x+4*y*y))", Shows::Nothing, "2.5"},
    {"allParameters", "a*x+b*y+c-d/e", Shows::Nothing, "-0.75", "3e-3", "7"},
    {"parameterDividesByZero", "x/e", Shows::DomainError, "5", "1", "0"},
    {"parameterPowerIsNaN", "a^b+x", Shows::NotANumber, "-2", "0.5"},
    {"trigonometricParameters", "sin(a*x)*cos(b*y)", Shows::Nothing, "3", "-1.5"},
    {"unsetVariable", "t+1"},
    {"constantGrouping", "8/2/2-2^3*0.5"},
    {"leadingMinus", "-x^2"},
    {"precedence", "2+3*4^2-x"},
    {"deepNesting", "x*(y*(x*(y+1)+2)+3)-(x-(y-(x-(y-1))))"},
    {"poppedQuotient", "(x+y)*(x-y)/(x*y+1)", Shows::DomainError},
    {"logAndSqrt", "log(1+x*x)+sqrt(|y|)"},
    {"bothDomainErrors", "sqrt(x)/log(y)", Shows::DomainError},
    {"reciprocalRadius", "1/sqrt(x*x+y*y)", Shows::DomainError},
    {"logistic", "exp(-x)/(1+exp(-x))"},
    {"divisorNotANumber", "1/((-1)^0.5)+x", Shows::DomainError},
    {"onlyX", "x"},
    {"onlyY", "y"},
    {"fractionalPowers", "x^0.5*y^3", Shows::NotANumber},
    {"logOfProduct", "log(x*y)", Shows::DomainError},
    {"pythagoras", "sin(x)^2+cos(y)^2"},
    {"errorAfterComputation", "exp(x)*(2-sqrt(y-1))", Shows::DomainError},
    {"unclosedParenthesis", "exp(-(x*x+4*y*y)"},
    {"implicitProduct", "2x"},
    {"emptyText", ""},
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << '"' << row.expression << '"';
}

// Points around and through the awkward places: zero, the centres, huge
// and tiny values, infinities and NaN (what a degenerate box gives).
std::vector<double> coordinates()
{
    std::vector<double> values;
    for (int i = 0; i <= 40; ++i)
        values.push_back(-2.0 + i * 0.1);
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, 0.5, -0.25, 1.0, 1e-300, -1e-300, 1e308, -1e308, inf, -inf,
                     std::numeric_limits<double>::quiet_NaN()})
        values.push_back(v);
    return values;
}

struct Turn {
    double theta, centreX, centreY;
};
const Turn turns[] = {{0, 0, 0}, {37.5, 0.5, -0.25}, {90, 0, 0}, {-180, -1, 2}};

class BatchEval : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        fdata = defaultFunctionSheet();
        const Row& row = GetParam();
        buildLine(fdata[1], "a", row.a);
        buildLine(fdata[2], "b", row.b);
        buildLine(fdata[5], "e", row.e);
        buildLine(fdata[6], "f(x,y)", row.expression);
    }
};

TEST_P(BatchEval, LinesEqualTheScalarPathBitForBit)
{
    const Row& row = GetParam();
    const std::vector<double> values = coordinates();
    std::vector<double> xs, ys;
    for (double x : values)
        for (double y : values) {
            xs.push_back(x);
            ys.push_back(y);
        }
    bool shown = row.shows == Shows::Nothing;
    for (const Turn& turn : turns) {
        SurfaceFunction surface(fdata);
        surface.setCentre(turn.centreX, turn.centreY);
        surface.parse();
        surface.setParameters();
        surface.setTheta(turn.theta);
        const LineEvaluator lines = surface.lineEvaluator();
        std::vector<double> batched(xs.size(), -1.0);
        lines.evaluate(xs, ys, batched);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const std::string before = surface.parser().lastReport();
            const double scalar = surface.evaluate(xs[i], ys[i]);
            ASSERT_TRUE(sameHeight(batched[i], scalar))
                << row.expression << " theta " << turn.theta << " at (" << xs[i] << ", " << ys[i]
                << "): batched " << batched[i] << ", scalar " << scalar;
            switch (row.shows) {
            case Shows::DomainError: shown |= before != surface.parser().lastReport(); break;
            case Shows::NotANumber: shown |= std::isnan(scalar) && std::isfinite(xs[i]); break;
            case Shows::Infinity: shown |= std::isinf(scalar); break;
            case Shows::NegativeZero: shown |= scalar == 0 && std::signbit(scalar); break;
            case Shows::Nothing: break;
            }
        }
    }
    EXPECT_TRUE(shown) << row.expression << " never showed what its row is for";
}

INSTANTIATE_TEST_SUITE_P(Expressions, BatchEval, ::testing::ValuesIn(rows),
                         [](const auto& info) { return std::string(info.param.name); });

class LineEvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override { fdata = defaultFunctionSheet(); }

    static SurfaceFunction& prepare(SurfaceFunction& surface, double theta = 0)
    {
        surface.parse();
        surface.setParameters();
        surface.setTheta(theta);
        return surface;
    }

    static double at(const LineEvaluator& lines, double x, double y)
    {
        double z = -1;
        lines.evaluate(std::span(&x, 1), std::span(&y, 1), std::span(&z, 1));
        return z;
    }
};

TEST_F(LineEvaluatorTest, IsASnapshotOfTheSurfaceFunction)
{
    buildLine(fdata[6], "f(x,y)", "a*x+y");
    SurfaceFunction surface(fdata);
    const LineEvaluator lines = prepare(surface).lineEvaluator();
    buildLine(fdata[1], "a", "100");
    prepare(surface, 90);
    surface.setCentre(3, 3);
    EXPECT_NEAR(surface.evaluate(2, 1), 100 * 5 + 2, 1e-9);
    EXPECT_EQ(at(lines, 2, 1), 5 * 2 + 1) << "parameters, theta and centre as they were";
}

TEST_F(LineEvaluatorTest, EqualExactlyWhenEveryHeightIsEqual)
{
    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))");
    SurfaceFunction surface(fdata);
    surface.setCentre(0.5, -0.5);
    const LineEvaluator base = prepare(surface, 30).lineEvaluator();
    EXPECT_TRUE(base == prepare(surface, 30).lineEvaluator());

    buildLine(fdata[6], "f(x,y)", "a * exp(-(x*x + 4*y*y))");
    EXPECT_TRUE(base == prepare(surface, 30).lineEvaluator()) << "spacing changes no step";

    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y+0))");
    EXPECT_FALSE(base == prepare(surface, 30).lineEvaluator()) << "text";
    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))");
    buildLine(fdata[1], "a", "5.0000001");
    EXPECT_FALSE(base == prepare(surface, 30).lineEvaluator()) << "parameter";
    buildLine(fdata[1], "a", "5");
    EXPECT_FALSE(base == prepare(surface, 30.5).lineEvaluator()) << "theta";
    surface.setCentre(0.5, -0.25);
    EXPECT_FALSE(base == prepare(surface, 30).lineEvaluator()) << "centre";
    surface.setCentre(0.5, -0.5);
    EXPECT_TRUE(base == prepare(surface, 30).lineEvaluator());
    buildLine(fdata[6], "f(x,y)", "(");
    EXPECT_TRUE(prepare(surface).lineEvaluator().flat());
    EXPECT_FALSE(base == prepare(surface).lineEvaluator());
    EXPECT_TRUE(LineEvaluator() == prepare(surface).lineEvaluator());
}

TEST_F(LineEvaluatorTest, FewerPointsThanHeightsIsRefused)
{
    SurfaceFunction surface(fdata);
    const LineEvaluator lines = prepare(surface).lineEvaluator();
    std::vector<double> x(3), y(2), z(3, -1);
    EXPECT_THROW(lines.evaluate(x, y, z), std::invalid_argument);
    EXPECT_EQ(z[0], -1) << "nothing written";
    y.resize(5);
    EXPECT_NO_THROW(lines.evaluate(x, y, z));
    EXPECT_EQ(z[0], 1);
}

// A straight line given by its two axes is the line of the same points
// given one by one; point 0 of a stepping axis is its start even where
// 0 x step is not 0 (an infinite step) or start + 0 is not the start (-0).
TEST_F(LineEvaluatorTest, StraightLinesAreTheirPoints)
{
    buildLine(fdata[6], "f(x,y)", "x-3*y+x*y");
    SurfaceFunction surface(fdata);
    surface.setCentre(0.5, -0.25);
    const LineEvaluator lines = prepare(surface, 30).lineEvaluator();
    using Axis = LineEvaluator::Axis;
    const double inf = std::numeric_limits<double>::infinity();
    const Axis axes[] = {Axis::at(0.75), Axis::at(-0.0), Axis::stepping(-2, 0.01),
                         Axis::stepping(-0.0, 0.003), Axis::stepping(1, inf)};
    auto coordinate = [](const Axis& axis, std::int64_t i) {
        return axis.fixed || i == 0 ? axis.start : axis.start + static_cast<double>(i) * axis.step;
    };
    LineEvaluator::Scratch scratch(lines);
    for (const Axis& ax : axes)
        for (const Axis& ay : axes)
            for (std::int64_t first : {0, 3, 511, 512}) {
                std::vector<double> xs, ys;
                for (std::int64_t i = first; i < first + 1300; ++i) {
                    xs.push_back(coordinate(ax, i));
                    ys.push_back(coordinate(ay, i));
                }
                std::vector<double> byPoints(xs.size()), byAxes(xs.size());
                lines.evaluate(xs, ys, byPoints, scratch);
                lines.evaluate(ax, ay, first, byAxes, scratch);
                for (std::size_t i = 0; i < xs.size(); ++i)
                    ASSERT_TRUE(sameHeight(byAxes[i], byPoints[i]))
                        << "point " << first + static_cast<std::int64_t>(i) << " at (" << xs[i]
                        << ", " << ys[i] << "): " << byAxes[i] << " for " << byPoints[i];
            }
    std::vector<double> z(10);
    EXPECT_THROW(lines.evaluate(axes[2], axes[0], -1, z, scratch), std::invalid_argument);
    EXPECT_THROW(lines.evaluate(axes[2], axes[0], (std::int64_t{1} << 31) - 10, z, scratch),
                 std::invalid_argument);
    EXPECT_NO_THROW(lines.evaluate(axes[2], axes[0], (std::int64_t{1} << 31) - 11, z, scratch));
}

// Four threads through one evaluator, with the scalar path running on the
// same SurfaceFunction meanwhile: no evaluation disturbs another.
TEST_F(LineEvaluatorTest, ThreadsShareOneEvaluator)
{
    buildLine(fdata[6], "f(x,y)", "sqrt(x)*exp(-(x*x+4*y*y))/y");
    SurfaceFunction surface(fdata);
    surface.setCentre(0.25, 0.125);
    const LineEvaluator lines = prepare(surface, 20).lineEvaluator();
    std::vector<double> xs, ys, expected;
    for (int i = 0; i < 3000; ++i) {
        xs.push_back(-2.0 + i * (4.0 / 2999));
        ys.push_back(1.5 - i * 0.001);
        expected.push_back(surface.evaluate(xs.back(), ys.back()));
    }
    std::vector<std::vector<double>> results(4, std::vector<double>(xs.size()));
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&] {
            LineEvaluator::Scratch scratch(lines);
            for (int round = 0; round < 10; ++round)
                lines.evaluate(xs, ys, result, scratch);
        });
    double sum = 0;
    for (int round = 0; round < 50; ++round)
        for (std::size_t i = 0; i < xs.size(); i += 7)
            sum += surface.evaluate(-xs[i], ys[i]);
    for (std::thread& thread : threads)
        thread.join();
    for (const auto& result : results)
        for (std::size_t i = 0; i < xs.size(); ++i)
            ASSERT_TRUE(sameHeight(result[i], expected[i])) << i;
    EXPECT_TRUE(std::isfinite(sum));
}

} // namespace
