#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "expr/SurfaceFunction.h"
#include "sheets/DataSheet.h"

namespace {

double f(double x, double y) { return std::exp(-(x * x + 4 * y * y)); }

class Surface : public ::testing::Test {
protected:
    DataSheet fdata = defaultFunctionSheet();

    void setExpression(const char* text) { buildLine(fdata[6], "f(x,y)", text); }

    void prepare(SurfaceFunction& s, double theta = 0)
    {
        s.parse();
        s.setParameters();
        s.setTheta(theta);
    }
};

TEST_F(Surface, DefaultSheetEvaluatesF)
{
    SurfaceFunction s(fdata);
    EXPECT_EQ(s.parameterCount(), 5);
    EXPECT_EQ(s.height(0.5, 0.5), 0) << "unparsed is flat";
    prepare(s);
    EXPECT_TRUE(s.ok());
    for (double x : {-2.0, -0.3, 0.0, 1.7})
        for (double y : {-1.0, 0.25, 2.0})
            EXPECT_EQ(s.height(x, y), f(x, y));
}

TEST_F(Surface, ThetaTurnsAboutTheCentre)
{
    setExpression("x+10*y");
    SurfaceFunction s(fdata);
    s.setCentre(1, -1);
    prepare(s, 90);
    const double d = 0.75;
    EXPECT_NEAR(s.height(1 + d, -1), 1 + 10 * (-1 + d), 1e-12);
    EXPECT_EQ(s.height(1, -1), 1 - 10);
    s.setTheta(180);
    EXPECT_NEAR(s.height(2.5, 0.5), (2 - 2.5) + 10 * (-2 - 0.5), 1e-12);
}

TEST_F(Surface, ParametersFollowTheSheet)
{
    setExpression("a*exp(-(x*x+4*y*y))");
    SurfaceFunction s(fdata);
    prepare(s);
    EXPECT_EQ(s.height(0, 0), 5);
    buildLine(fdata[1], "a", "2.5");
    prepare(s);
    EXPECT_EQ(s.height(0, 0), 2.5);
    buildLine(fdata[1], "a", "none");
    prepare(s);
    EXPECT_EQ(s.height(0, 0), 0);
}

TEST_F(Surface, FailedParseIsToldAndIsFlat)
{
    setExpression("exp(-(x*x+4*y*y)");
    SurfaceFunction s(fdata);
    EXPECT_FALSE(s.parse());
    ASSERT_NE(s.expressionLine(), nullptr);
    EXPECT_STREQ(s.expressionLine()->display, "f(x,y) = exp(-(x*x+4*y*y)");
    prepare(s);
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(s.height(0, 0), 0);
    EXPECT_EQ(s.parser().diagnostic(), "exp(-(x*x+4*y*y)  ')' expected.");
    setExpression("x*y");
    EXPECT_TRUE(s.parse());
    prepare(s);
    EXPECT_EQ(s.height(2, 3), 6);
}

TEST_F(Surface, ExpressionWithoutXOrYIsConstant)
{
    setExpression("b+c");
    SurfaceFunction s(fdata);
    prepare(s);
    EXPECT_EQ(s.height(-7, 3), 2);
    EXPECT_EQ(s.height(4, -1), 2);
}

TEST_F(Surface, HeaderCountBeyondTheSheetStaysInside)
{
    buildLine(fdata[0], "fdata  ", "9999");
    SurfaceFunction big(fdata);
    EXPECT_EQ(big.parameterCount(), 5);
    buildLine(fdata[0], "fdata  ", "-99999999999");
    EXPECT_EQ(SurfaceFunction(fdata).parameterCount(), 0);
    buildLine(fdata[0], "fdata  ", "-3");
    SurfaceFunction small(fdata);
    EXPECT_EQ(small.parameterCount(), 0);
    prepare(small);
    EXPECT_TRUE(small.ok()) << "line 1, the value 5 of a, is the expression";
    EXPECT_EQ(small.height(0, 0), 5);
}

} // namespace
