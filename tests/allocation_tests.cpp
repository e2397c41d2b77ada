// Counts every heap allocation of the process, to show that evaluating
// the surface allocates nothing once a thread has its working memory.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "expr/SurfaceFunction.h"
#include "sheets/Sheets.h"

namespace {

// The function sheet the tests of this file build their f on.
DataSheet fdata;
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Allocation, EvaluateAllocatesNothing)
{
    Sheets sheets;
    buildLine(sheets.fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))/(1+|x|)+log(2+y)-x^b");
    SurfaceFunction surface(sheets.fdata);
    surface.parse();
    surface.setParameters();
    surface.setTheta(30);
    ASSERT_TRUE(surface.ok());
    double sum = surface.height(0, 0);
    const long before = allocations.load();
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 20; ++j)
            sum += surface.height(-2 + 0.1 * i, -2 + 0.2 * j);
    EXPECT_EQ(allocations.load(), before);
    EXPECT_NE(sum, 0);
}

TEST(Allocation, BlocksAllocateNothing)
{
    fdata = defaultFunctionSheet();
    buildLine(fdata[6], "f(x,y)", "a*exp(-(x*x+4*y*y))/(1+|x|)+log(2+y)-x^b+sqrt(x)");
    SurfaceFunction surface(fdata);
    surface.parse();
    surface.setParameters();
    surface.setTheta(30);
    std::vector<double> x(1000), y(1000), z(1000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = -2 + 0.004 * static_cast<double>(i);
        y[i] = 0.5;
    }
    surface.heights(x, y, z);
    const long before = allocations.load();
    surface.heights(x, y, z);
    EXPECT_EQ(allocations.load(), before);
    EXPECT_NE(z[999], 0);
}

} // namespace
