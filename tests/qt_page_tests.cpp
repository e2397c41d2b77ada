#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <climits>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/QtCanvas.h"
#include "platform/SvgCanvas.h"
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
    composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, PageTarget::Screen);
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

// The canvas on an RGB32 image, as a window's picture is.
class QtCanvasPixels : public ::testing::Test {
protected:
    QtCanvasPixels() : image(100, 80, QImage::Format_RGB32) { image.fill(Qt::white); }

    QRgb at(int x, int y) const { return image.pixel(x, y); }

    QImage image;
    static constexpr QRgb white = qRgb(255, 255, 255);
    static constexpr QRgb red = qRgb(255, 0, 0);
};

TEST_F(QtCanvasPixels, ThinLinesLeaveOutTheirEndPixel)
{
    {
        QtCanvas canvas(&image);
        canvas.segment({10, 10}, {20, 10}, {colourOf(PenColour::Red), 1});
        canvas.segment({20, 10}, {20, 20}, {colourOf(PenColour::Red), 1});
    }
    EXPECT_EQ(at(9, 10), white);
    for (int x = 10; x <= 20; ++x)
        EXPECT_EQ(at(x, 10), red) << x;
    EXPECT_EQ(at(20, 19), red);
    EXPECT_EQ(at(20, 20), white) << "the last end is not drawn";
    EXPECT_EQ(at(21, 10), white);
}

TEST_F(QtCanvasPixels, ClipCutsLinesUntilUnclipped)
{
    {
        QtCanvas canvas(&image);
        canvas.clip({0, 0, 15, 80});
        canvas.segment({10, 10}, {30, 10}, {colourOf(PenColour::Red), 1});
        canvas.unclip();
        canvas.segment({10, 30}, {30, 30}, {colourOf(PenColour::Red), 1});
    }
    EXPECT_EQ(at(14, 10), red);
    EXPECT_EQ(at(15, 10), white);
    EXPECT_EQ(at(29, 30), red);
}

TEST_F(QtCanvasPixels, FrameOutlinesInsideTheRectangleOverItsBrush)
{
    {
        QtCanvas canvas(&image);
        canvas.frame({5, 5, 15, 12}, {colourOf(PenColour::Blue), 1}, colourOf(BrushColour::PaleYellow));
    }
    const QRgb blue = qRgb(0, 0, 255), paleYellow = qRgb(253, 254, 218);
    EXPECT_EQ(at(5, 5), blue);
    EXPECT_EQ(at(14, 11), blue) << "right and bottom edges one inside";
    EXPECT_EQ(at(15, 11), white);
    EXPECT_EQ(at(14, 12), white);
    EXPECT_EQ(at(10, 8), paleYellow);
}

TEST_F(QtCanvasPixels, WidePensAreDrawnAroundTheLine)
{
    {
        QtCanvas canvas(&image);
        canvas.segment({10, 50}, {25, 50}, {colourOf(PenColour::Red), 3});
        canvas.segment({25, 50}, {40, 50}, {colourOf(PenColour::Red), 3});
        canvas.endLine();
    }
    for (int y = 49; y <= 51; ++y)
        EXPECT_EQ(at(25, y), red) << y;
    EXPECT_EQ(at(25, 47), white);
    EXPECT_EQ(at(25, 53), white);
}

TEST_F(QtCanvasPixels, TextCellIsPaintedInItsBackground)
{
    FontSpec font;
    font.face = "Times New Roman";
    font.height = -13;
    int width = 0;
    {
        QtCanvas canvas(&image);
        width = canvas.textWidth("  ", font);
        canvas.text({20, 60}, "  ", font, colourOf(PenColour::Black), colourOf(BrushColour::PalePink));
    }
    ASSERT_GT(width, 0);
    const QRgb palePink = qRgb(255, 230, 255);
    EXPECT_EQ(at(20, 60), palePink);
    EXPECT_EQ(at(20 + width - 1, 60), palePink);
    EXPECT_EQ(at(20 + width, 60), white);
    EXPECT_EQ(at(19, 60), white);
}


// The canvas hands a thin polyline to the raster after its first
// segment, whose pen may differ from the last one: one polyline call sets
// the pixels of its segments drawn one by one, in either pen.
struct PolylineCase {
    const char* name;
    std::vector<DevicePoint> points;
    DeviceRect clip;
};

void PrintTo(const PolylineCase& c, std::ostream* out) { *out << c.name; }

class Polylines : public ::testing::TestWithParam<PolylineCase> {};

TEST_P(Polylines, SetThePixelsOfTheirSegments)
{
    const PolylineCase& c = GetParam();
    for (const Pen pen : {Pen{colourOf(PenColour::Magenta), 1}, Pen{colourOf(PenColour::DarkMagenta), 1}}) {
        QImage whole(400, 300, QImage::Format_RGB32), byParts(400, 300, QImage::Format_RGB32);
        whole.fill(Qt::white);
        byParts.fill(Qt::white);
        {
            QtCanvas canvas(&whole);
            canvas.clip(c.clip);
            canvas.segment({0, 0}, {1, 1}, {colourOf(PenColour::DarkGreen), 1});
            canvas.polyline(c.points, pen);
        }
        {
            QtCanvas canvas(&byParts);
            canvas.clip(c.clip);
            canvas.segment({0, 0}, {1, 1}, {colourOf(PenColour::DarkGreen), 1});
            for (std::size_t i = 1; i < c.points.size(); ++i)
                canvas.segment(c.points[i - 1], c.points[i], pen);
        }
        ASSERT_EQ(whole, byParts) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Polylines,
    ::testing::Values(
        PolylineCase{"repeatsAndSteps",
                     {{95, 60}, {95, 60}, {96, 61}, {96, 61}, {97, 61}, {96, 60}, {96, 60}},
                     {96, 58, 200, 200}},
        PolylineCase{"onePoint", {{20, 20}}, {0, 0, 400, 300}},
        PolylineCase{"longAndFar",
                     {{10, 10}, {10, 10}, {2000000, -50}, {2000000, -50}, {11, 11}, {12, 11},
                      {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {150, 150}, {151, 152}, {151, 152},
                      {399, 299}, {400, 300}},
                     {5, 5, 395, 295}}),
    [](const auto& info) { return std::string(info.param.name); });

// Pages whose lines of constant x are drawn on a second thread, on a
// layer of the image, and the same pages drawn on one thread: pixel for
// pixel the same, whatever the pens, heights and view.
struct LayeredPage {
    const char* name;
    std::vector<std::pair<std::size_t, const char*>> settings;
    const char* f = nullptr;
};

QImage pageWithThreads(const LayeredPage& p, int threads)
{
    Sheets sheets;
    if (p.f != nullptr)
        buildLine(sheets.fdata[6], "f(x,y)", p.f);
    for (const auto& [line, value] : p.settings) {
        const std::string name = sheets.sdata[line].name;
        buildLine(sheets.sdata[line], name.c_str(), value);
    }
    QImage image(640, 480, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 640, 480);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    MeshHeights heights(MeshHeights::Limits{std::size_t{256} << 20, threads});
    composePage({device, sheets, &surface, sheetAngles(sheets.sdata), &heights},
                PageTarget::Screen);
    return image;
}

void PrintTo(const LayeredPage& page, std::ostream* out) { *out << page.name; }

class LayeredPages : public ::testing::TestWithParam<LayeredPage> {};

TEST_P(LayeredPages, HaveThePixelsOfOneThread)
{
    const QImage one = pageWithThreads(GetParam(), 1);
    const QImage two = pageWithThreads(GetParam(), 2);
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x)
            ASSERT_EQ(two.pixel(x, y), one.pixel(x, y)) << GetParam().name << " at " << x << ", " << y;
}

using S = std::pair<std::size_t, const char*>;
INSTANTIATE_TEST_SUITE_P(
    Pages, LayeredPages,
    ::testing::Values(
        LayeredPage{"defaults", {}},
        LayeredPage{"dense", {S{SettingsLine::n, "60"}, S{SettingsLine::m, "90"}, S{SettingsLine::k, "6"}}},
        LayeredPage{"undersideSeen", {S{SettingsLine::tilt, "-35"}, S{SettingsLine::theta, "50"}}},
        LayeredPage{"fromBelowSteep",
                    {S{SettingsLine::tilt, "-70"}, S{SettingsLine::n, "30"}, S{SettingsLine::k, "4"}},
                    "sin(3*x)*y"},
        LayeredPage{"undersideInAnUnknownPen", {S{SettingsLine::tilt, "-35"}, S{SettingsLine::pc, "3"}}},
        LayeredPage{"surfacePenUnknown", {S{SettingsLine::tilt, "-35"}, S{SettingsLine::pc, "40"}}},
        LayeredPage{"notNumbersAndInfinities", {S{SettingsLine::tilt, "30"}}, "log(x)+exp(900*y)"},
        LayeredPage{"reversedBox", {S{SettingsLine::x1, "2"}, S{SettingsLine::x2, "-2"}}, "x-2*y"},
        LayeredPage{"flatBox", {S{SettingsLine::z1, "0"}, S{SettingsLine::z2, "0"}}},
        LayeredPage{"frameAndAxes", {S{SettingsLine::fc, "9"}, S{SettingsLine::ax, "1"}}},
        LayeredPage{"oneInterval", {S{SettingsLine::n, "1"}, S{SettingsLine::m, "1"}, S{SettingsLine::k, "200"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The SVG canvas: one polyline a line, exact integers however far, text
// escaped as XML, a clip group only where something is drawn under it,
// every one closed.
TEST(SvgCanvasOutput, WritesLinesClipsAndTextAsElements)
{
    QImage fontsImage(1, 1, QImage::Format_RGB32);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QtCanvas fonts(&fontsImage);
        SvgCanvas svg(fonts, buffer, "t-");
        svg.clip({0, 0, 5, 5});
        svg.clip({10, 20, 110, 120});
        svg.segment({10, 20}, {30, 40}, {colourOf(PenColour::Red), 1});
        svg.segment({30, 40}, {50, INT_MIN}, {colourOf(PenColour::Red), 1});
        svg.segment({60, 60}, {70, 70}, {colourOf(PenColour::Red), 3});
        svg.unclip();
        svg.clip({1, 2, 3, 4});
        svg.unclip();
        FontSpec font;
        font.face = "Times New Roman";
        font.height = -13;
        svg.text({5, 6}, "a<b & \"c\"\x01\xe9", font, colourOf(PenColour::Black), colourOf(BrushColour::White));
        svg.finish();
    }
    const std::string out = bytes.toStdString();
    EXPECT_EQ(out.find("<clipPath id=\"t-c1\"><rect x=\"10\" y=\"20\" width=\"100\" height=\"100\"/>"
                       "</clipPath>\n<g clip-path=\"url(#t-c1)\">\n<polyline"),
              0u) << out;
    EXPECT_NE(out.find("stroke=\"#FF0000\" stroke-width=\"1\""), std::string::npos) << out;
    EXPECT_NE(out.find("points=\"10,20 30,40 50,-2147483648\"/>"), std::string::npos) << out;
    EXPECT_NE(out.find("stroke-width=\"3\""), std::string::npos) << "a new pen, a new polyline";
    EXPECT_NE(out.find(">a&lt;b &amp; &quot;c&quot;\xc3\xa9</text>"), std::string::npos) << out;
    std::size_t opened = 0, closed = 0;
    for (std::size_t at = 0; (at = out.find("<g ", at)) != std::string::npos; ++at)
        ++opened;
    for (std::size_t at = 0; (at = out.find("</g>", at)) != std::string::npos; ++at)
        ++closed;
    EXPECT_EQ(opened, 1u);
    EXPECT_EQ(closed, 1u);
    EXPECT_LT(out.find("</g>"), out.find("<text")) << "the text is drawn unclipped";
}


// A wide pen goes to the painter, which cannot take such coordinates: the
// segment is cut to the page first and keeps its course.
TEST(PainterClip, WideLinesWithFarEndsKeepTheirCourse)
{
    struct Far {
        DevicePoint from, to;
        double crossing;  // x at y = 330
    };
    const Far lines[] = {{{40, 1158736}, {640, -46336269}, 54.6},
                         {{340, 330}, {INT_MIN, 330}, -1},
                         {{100, 1000000000}, {700, INT_MIN}, 100 + 600.0 * (1e9 - 330) / 3147483648.0}};
    for (const Far& line : lines) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QtCanvas canvas(&image);
            canvas.clip({40, 90, 640, 570});
            canvas.segment(line.from, line.to, {colourOf(PenColour::Red), 3});
            canvas.endLine();
        }
        int first = -1, last = -1;
        for (int x = 0; x < 800; ++x)
            if (image.pixel(x, 330) == qRgb(255, 0, 0)) {
                last = x;
                first = first < 0 ? x : first;
            }
        if (line.crossing < 0) {
            EXPECT_EQ(first, 40) << "a horizontal line runs to the clip's edge";
            EXPECT_EQ(last, 340);
        } else {
            EXPECT_GE(first, line.crossing - 3) << line.crossing;
            EXPECT_LE(last, line.crossing + 3) << line.crossing;
        }
    }
}

} // namespace
