#include <gtest/gtest.h>

#include <QImage>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"

namespace {

// Composes the screen page of the sheets on the window; returns the
// device's state after the page.
struct PageState {
    bool drawing;
    int lineHeight;
};

PageState composeOn(PaintDeviceWindow& window, const Sheets& sheets = Sheets())
{
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    ViewAngles view;
    PageContext page{device, sheets, &surface, view, false};
    composePage(page, PageTarget::Screen);
    return {device.drawing(), device.lineHeight()};
}

QImage defaultPage()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::black);
    PaintDeviceWindow window(&image, 800, 600);
    composeOn(window);
    return image;
}

// Text is antialiased: count pixels whose hue is plainly dark blue.
int countBluish(const QImage& image, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += qBlue(p) > qRed(p) + 60 && qBlue(p) > qGreen(p) + 60;
        }
    return n;
}

int countPixels(const QImage& image, QRgb colour, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

TEST(QtPage, DefaultPageColours)
{
    const QImage image = defaultPage();
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255)) << "page background";
    EXPECT_EQ(image.pixel(45, 95), qRgb(253, 254, 218)) << "pale yellow viewport";
    EXPECT_EQ(image.pixel(40, 300), qRgb(0, 160, 0)) << "dark green frame, left edge";
    EXPECT_EQ(image.pixel(639, 300), qRgb(0, 160, 0)) << "right edge, one inside";
    EXPECT_EQ(image.pixel(300, 569), qRgb(0, 160, 0)) << "bottom edge, one inside";
    EXPECT_EQ(image.pixel(300, 570), qRgb(255, 255, 255)) << "outside the frame";
    EXPECT_GT(countPixels(image, qRgb(255, 0, 255), QRect(41, 91, 598, 478)), 2000)
        << "magenta mesh";
    EXPECT_EQ(countPixels(image, qRgb(255, 0, 255), QRect(0, 0, 40, 600)), 0)
        << "the mesh is clipped to the viewport";
    EXPECT_GT(countBluish(image, QRect(657, 91, 134, 478)), 300)
        << "dark blue panel text";
    EXPECT_GT(countBluish(image, QRect(200, 30, 300, 40)), 100) << "caption";
}

TEST(QtPage, UndersideShowsInDarkMagenta)
{
    Sheets sheets;
    buildLine(sheets.fdata[6], "f(x,y)", "-(x*x+4*y*y)/8");
    buildLine(sheets.sdata[SettingsLine::z1], "z1       ", "-4");
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    composeOn(window, sheets);
    EXPECT_GT(countPixels(image, qRgb(160, 0, 160), QRect(41, 91, 598, 478)), 500);
}

TEST(QtPage, RecordedCallsMatchTheImagesMetrics)
{
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    window.setRecording(true);
    const PageState device = composeOn(window);
    ASSERT_FALSE(window.recordedCalls().empty());
    EXPECT_EQ(traceLine(window.recordedCalls().front()), "fill 0 0 800 600 #FFFFFF");
    EXPECT_EQ(image.pixel(45, 95), qRgb(253, 254, 218)) << "recording still draws";
    EXPECT_GT(device.lineHeight, 10);
    EXPECT_LT(device.lineHeight, 25);
}

TEST(QtPage, EmptyImageIsHarmless)
{
    QImage image;
    PaintDeviceWindow window(&image, 0, 0);
    EXPECT_FALSE(composeOn(window).drawing);
}

} // namespace
