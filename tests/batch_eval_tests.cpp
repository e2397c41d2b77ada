// The heights of f, by the block and point by point, against the rules of
// the language, bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <memory>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "expr/SurfaceFunction.h"
#include "sheets/DataSheet.h"
#include "tests/ExprOracle.h"

namespace {

// The function sheet the tests of this file build their f on.
DataSheet fdata;

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Heights match bit for bit, except that any NaN matches any NaN: which of
// two NaN operands an operation passes on, and so the sign and payload of
// a NaN, is left to the compiler's order of operands (and nothing
// downstream tells NaNs apart).
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

// The language's value at (x, y) turned about the centre, the turn written
// as the surface function writes it.
double oracleAt(ExprOracle& oracle, const Row& row, const Turn& turn, bool parses, double x,
                double y)
{
    if (!parses)
        return 0.0;
    const double r = turn.theta * 0.017453292519943295;
    const double s = std::sin(r), c = std::cos(r);
    const double dx = x - turn.centreX, dy = y - turn.centreY;
    const ExprOracle::Variables variables{
        {"x", turn.centreX + dx * c - dy * s}, {"y", turn.centreY + dx * s + dy * c},
        {"a", std::strtod(row.a, nullptr)},   {"b", std::strtod(row.b, nullptr)},
        {"c", 1},                              {"d", 1},
        {"e", std::strtod(row.e, nullptr)}};
    return oracle.value(row.expression, variables);
}

TEST_P(BatchEval, BlocksAndPointsFollowTheLanguageBitForBit)
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
    ExprOracle oracle;
    for (const Turn& turn : turns) {
        SurfaceFunction surface(fdata);
        surface.setCentre(turn.centreX, turn.centreY);
        const bool parses = surface.parse();
        surface.setParameters();
        surface.setTheta(turn.theta);
        std::vector<double> blocks(xs.size(), -1.0);
        surface.heights(xs, ys, blocks);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const double expected = oracleAt(oracle, row, turn, parses, xs[i], ys[i]);
            const double point = surface.height(xs[i], ys[i]);
            ASSERT_TRUE(sameHeight(blocks[i], expected) && sameHeight(point, expected))
                << row.expression << " theta " << turn.theta << " at (" << xs[i] << ", " << ys[i]
                << "): by the block " << blocks[i] << ", alone " << point << ", should be "
                << expected;
            switch (row.shows) {
            case Shows::DomainError: shown |= oracle.domainError(); break;
            case Shows::NotANumber: shown |= std::isnan(expected) && std::isfinite(xs[i]); break;
            case Shows::Infinity: shown |= std::isinf(expected); break;
            case Shows::NegativeZero: shown |= expected == 0 && std::signbit(expected); break;
            case Shows::Nothing: break;
            }
        }
    }
    EXPECT_TRUE(shown) << row.expression << " never showed what its row is for";
}

INSTANTIATE_TEST_SUITE_P(Expressions, BatchEval, ::testing::ValuesIn(rows),
                         [](const auto& info) { return std::string(info.param.name); });

class Heights : public ::testing::Test {
protected:
    void SetUp() override { fdata = defaultFunctionSheet(); }

    static SurfaceFunction& prepare(SurfaceFunction& surface, double theta = 0)
    {
        surface.parse();
        surface.setParameters();
        surface.setTheta(theta);
        return surface;
    }
};

TEST_F(Heights, ASnapshotKeepsTheSurfaceAsItWas)
{
    buildLine(fdata[6], "f(x,y)", "a*x+y");
    SurfaceFunction surface(fdata);
    const std::unique_ptr<ZFunction> kept = prepare(surface).snapshot();
    buildLine(fdata[1], "a", "100");
    prepare(surface, 90);
    surface.setCentre(3, 3);
    EXPECT_NEAR(surface.height(2, 1), 100 * 5 + 2, 1e-9);
    EXPECT_EQ(kept->height(2, 1), 5 * 2 + 1) << "parameters, theta and centre as they were";
    EXPECT_FALSE(kept->sameHeights(surface));
}

TEST_F(Heights, SameExactlyWhenEveryHeightIsEqual)
{
    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))");
    SurfaceFunction surface(fdata);
    surface.setCentre(0.5, -0.5);
    const std::unique_ptr<ZFunction> base = prepare(surface, 30).snapshot();
    EXPECT_TRUE(base->sameHeights(prepare(surface, 30)));
    EXPECT_TRUE(surface.sameHeights(*base));

    buildLine(fdata[6], "f(x,y)", "a * exp(-(x*x + 4*y*y))");
    EXPECT_TRUE(base->sameHeights(prepare(surface, 30))) << "spacing changes no step";

    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y+0))");
    EXPECT_FALSE(base->sameHeights(prepare(surface, 30))) << "text";
    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))");
    buildLine(fdata[1], "a", "5.0000001");
    EXPECT_FALSE(base->sameHeights(prepare(surface, 30))) << "parameter";
    buildLine(fdata[1], "a", "5");
    EXPECT_FALSE(base->sameHeights(prepare(surface, 30.5))) << "theta";
    surface.setCentre(0.5, -0.25);
    EXPECT_FALSE(base->sameHeights(prepare(surface, 30))) << "centre";
    surface.setCentre(0.5, -0.5);
    EXPECT_TRUE(base->sameHeights(prepare(surface, 30)));
    buildLine(fdata[6], "f(x,y)", "(");
    EXPECT_TRUE(prepare(surface).current().flat());
    EXPECT_FALSE(base->sameHeights(prepare(surface)));
    EXPECT_TRUE(SurfaceHeights().sameHeights(prepare(surface)));
}

TEST_F(Heights, FewerPointsThanHeightsIsRefused)
{
    SurfaceFunction surface(fdata);
    prepare(surface);
    std::vector<double> x(3), y(2), z(3, -1);
    EXPECT_THROW(surface.heights(x, y, z), std::invalid_argument);
    EXPECT_EQ(z[0], -1) << "nothing written";
    y.resize(5);
    EXPECT_NO_THROW(surface.heights(x, y, z));
    EXPECT_EQ(z[0], 1);
    EXPECT_NO_THROW(surface.heights(x, y, {x.data(), 3})) << "into its own x";
    EXPECT_EQ(x[2], 1);
}

// Four threads through one surface while a fifth asks it point by point:
// no evaluation disturbs another.
TEST_F(Heights, ThreadsShareOneSurface)
{
    buildLine(fdata[6], "f(x,y)", "sqrt(x)*exp(-(x*x+4*y*y))/y");
    SurfaceFunction surface(fdata);
    surface.setCentre(0.25, 0.125);
    prepare(surface, 20);
    std::vector<double> xs, ys, expected;
    for (int i = 0; i < 3000; ++i) {
        xs.push_back(-2.0 + i * (4.0 / 2999));
        ys.push_back(1.5 - i * 0.001);
        expected.push_back(surface.height(xs.back(), ys.back()));
    }
    std::vector<std::vector<double>> results(4, std::vector<double>(xs.size()));
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&] {
            for (int round = 0; round < 10; ++round)
                surface.heights(xs, ys, result);
        });
    double sum = 0;
    for (int round = 0; round < 50; ++round)
        for (std::size_t i = 0; i < xs.size(); i += 7)
            sum += surface.height(-xs[i], ys[i]);
    for (std::thread& thread : threads)
        thread.join();
    for (const auto& result : results)
        for (std::size_t i = 0; i < xs.size(); ++i)
            ASSERT_TRUE(sameHeight(result[i], expected[i])) << i;
    EXPECT_TRUE(std::isfinite(sum));
}

// Heights from somewhere else, as measured data would give them: a plane
// whose tilt names it.
class PlaneField final : public ZFunction {
public:
    explicit PlaneField(double slope) : slope_(slope) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        for (std::size_t i = 0; i < z.size(); ++i)
            z[i] = slope_ * x[i] - y[i];
    }
    bool sameHeights(const ZFunction& other) const override
    {
        const auto* plane = dynamic_cast<const PlaneField*>(&other);
        return plane != nullptr && plane->slope_ == slope_;
    }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<PlaneField>(*this);
    }

private:
    double slope_;
};

struct FieldRow {
    const char* name;
    const char* expression;
    double theta;
    // f at the turned point (x, y), where the field's height is z.
    double (*expected)(double x, double y, double z);
};

const FieldRow fieldRows[] = {
    {"theField", "z", 0, [](double, double, double z) { return z; }},
    {"turnedWithF", "z", 90, [](double, double, double z) { return z; }},
    {"combined", "z*x+1", 37.5, [](double x, double, double z) { return z * x + 1; }},
    {"throughBuiltins", "exp(-z*z)+sqrt(z)", 20,
     [](double, double, double z) { return z < 0 ? 0.0 : std::exp(-z * z) + std::sqrt(z); }},
    {"withoutZ", "x*y", 10, [](double x, double y, double) { return x * y; }},
};

void PrintTo(const FieldRow& row, std::ostream* out)
{
    *out << '"' << row.expression << "\" theta " << row.theta;
}

class Field : public ::testing::TestWithParam<FieldRow> {
protected:
    void SetUp() override
    {
        fdata = defaultFunctionSheet();
        buildLine(fdata[6], "f(x,y)", GetParam().expression);
    }
};

TEST_P(Field, ZIsTheFieldsHeightAtTheTurnedPoint)
{
    const FieldRow& row = GetParam();
    SurfaceFunction surface(fdata);
    surface.setCentre(0.5, -1);
    surface.parse();
    surface.setTheta(row.theta);
    const PlaneField plane(2);
    surface.setHeightField(std::make_shared<PlaneField>(plane));
    const double r = row.theta * 0.017453292519943295;
    const double s = std::sin(r), c = std::cos(r);
    for (double x : {-2.0, -0.5, 0.0, 1.25})
        for (double y : {-1.5, 0.0, 0.75}) {
            const double dx = x - 0.5, dy = y + 1;
            const double tx = 0.5 + dx * c - dy * s, ty = -1 + dx * s + dy * c;
            EXPECT_EQ(surface.height(x, y), row.expected(tx, ty, plane.height(tx, ty)))
                << row.expression << " at (" << x << ", " << y << ")";
        }
    surface.setHeightField(nullptr);
    EXPECT_EQ(surface.height(0.5, -1), row.expected(0.5, -1, 0)) << "z is 0 at the centre";
    SurfaceFunction plain(fdata);
    plain.setCentre(0.5, -1);
    plain.parse();
    plain.setTheta(row.theta);
    EXPECT_TRUE(plain.sameHeights(surface)) << "without a field, z is a variable again";
}

INSTANTIATE_TEST_SUITE_P(Fields, Field, ::testing::ValuesIn(fieldRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldSameHeights, TheFieldIsComparedByItsOwnHeights)
{
    fdata = defaultFunctionSheet();
    buildLine(fdata[6], "f(x,y)", "z+x");
    SurfaceFunction surface(fdata);
    surface.parse();
    const std::unique_ptr<ZFunction> none = surface.snapshot();
    surface.setHeightField(std::make_shared<PlaneField>(2));
    const std::unique_ptr<ZFunction> two = surface.snapshot();
    EXPECT_FALSE(two->sameHeights(*none));
    EXPECT_FALSE(none->sameHeights(*two));
    surface.setHeightField(std::make_shared<PlaneField>(2));
    EXPECT_TRUE(two->sameHeights(surface)) << "another field of the same heights";
    surface.setHeightField(std::make_shared<PlaneField>(3));
    EXPECT_FALSE(two->sameHeights(surface));
    EXPECT_EQ(two->height(1, 0), 2 * 1 - 0 + 1) << "the snapshot keeps its field";
    surface.setHeightField(nullptr);
    EXPECT_TRUE(none->sameHeights(surface));
    EXPECT_EQ(surface.height(1, 0), 1) << "z is 0 again";

    buildLine(fdata[6], "f(x,y)", "x+y");
    surface.parse();
    const std::unique_ptr<ZFunction> unread = surface.snapshot();
    surface.setHeightField(std::make_shared<PlaneField>(5));
    EXPECT_TRUE(unread->sameHeights(surface)) << "a field that f does not read changes nothing";
}

} // namespace
