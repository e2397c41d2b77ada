// Vector pages read back: the SVG's layers and polylines, the HPGL against
// the page's calls, the PDF's optional content groups.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "device/RecordingCanvas.h"
#include "platform/HpglCanvas.h"
#include "expr/SurfaceFunction.h"
#include "platform/PageFile.h"
#include "platform/PaintDeviceWindow.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"

namespace {

struct Line {
    std::size_t index;
    const char* value;
};

struct PageRow {
    const char* name;
    std::vector<Line> sdata, style;
    int width = 800, height = 600;
};

void PrintTo(const PageRow& row, std::ostream* out)
{
    *out << row.name;
}

Sheets sheetsOf(const PageRow& row)
{
    Sheets s;
    for (const Line& l : row.sdata)
        buildLine(s.sdata[l.index], s.sdata[l.index].name, l.value);
    for (const Line& l : row.style)
        buildLine(s.style[l.index], s.style[l.index].name, l.value);
    return s;
}

// The page written as a file of the extension; empty when it was not.
std::string pageFile(const PageRow& row, const std::string& extension)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("page." + QString::fromStdString(extension)).toStdString();
    const Sheets sheets = sheetsOf(row);
    const PageFileResult result = writePageFile(path, {sheets, row.width, row.height, {}, nullptr});
    EXPECT_TRUE(result.written) << result.error;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// A stroke: its ends in order, and its pen (a colour, or a plotter's pen).
using Stroke = std::tuple<long long, long long, long long, long long, std::string>;

Stroke strokeOf(long long x0, long long y0, long long x1, long long y1, const std::string& pen)
{
    if (std::tie(x1, y1) < std::tie(x0, y0)) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    return {x0, y0, x1, y1, pen};
}

// The lines of the page, as its .calls file holds them, with the clip
// each was drawn under.
struct TracedLine {
    DevicePoint from, to;
    Colour colour;
    std::optional<DeviceRect> clip;
};

std::vector<TracedLine> tracedLines(const PageRow& row)
{
    QImage fonts(1, 1, QImage::Format_RGB32);
    PaintDeviceWindow window(&fonts, row.width, row.height);
    window.setRecording(true);
    const Sheets sheets = sheetsOf(row);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, PageTarget::Screen);
    std::vector<TracedLine> lines;
    std::optional<DeviceRect> clip;
    for (const RecordedCall& c : window.recordedCalls()) {
        if (c.kind == CallKind::Clip)
            clip = c.rect;
        if (c.kind == CallKind::Unclip)
            clip.reset();
        if (c.kind == CallKind::Line && !(c.from == c.to))
            lines.push_back({c.from, c.to, c.colour, clip});
    }
    return lines;
}

// An SVG page's layers as written: their labels and ids, and each
// layer's polylines.
struct Polyline {
    std::string stroke;
    std::vector<DevicePoint> points;
    int group = 0;  // the clip group it is in, counted through the file
};

struct SvgLayer {
    std::string label, id;
    std::vector<Polyline> polylines;
    std::set<std::string> elements;
};

std::vector<SvgLayer> svgLayers(const std::string& svg)
{
    std::vector<SvgLayer> layers;
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    int depth = 0, layerDepth = -1, groups = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && depth-- == layerDepth)
            layerDepth = -1;
        if (!xml.isStartElement())
            continue;
        ++depth;
        const QXmlStreamAttributes a = xml.attributes();
        if (depth == 1 || (depth == 2 && xml.name() == QStringLiteral("title")))
            continue;
        if (xml.name() == QStringLiteral("g") &&
            a.value("inkscape:groupmode") == QStringLiteral("layer")) {
            EXPECT_EQ(layerDepth, -1) << "a layer within a layer";
            layers.push_back({a.value("inkscape:label").toString().toStdString(),
                              a.value("id").toString().toStdString(),
                              {},
                              {}});
            layerDepth = depth;
            continue;
        }
        EXPECT_NE(layerDepth, -1) << xml.name().toString().toStdString() << " outside the layers";
        if (layerDepth == -1)
            continue;
        layers.back().elements.insert(xml.name().toString().toStdString());
        if (xml.name() == QStringLiteral("g"))
            ++groups;
        if (xml.name() == QStringLiteral("polyline")) {
            Polyline p{a.value("stroke").toString().toStdString(), {}, groups};
            for (const auto& pair : a.value("points").toString().split(' ')) {
                const QStringList xy = pair.split(',');
                p.points.push_back({xy[0].toInt(), xy[1].toInt()});
            }
            layers.back().polylines.push_back(p);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return layers;
}

const PageRow everyKind{"everyKind",
                        {{SettingsLine::tilt, "-35"},
                         {SettingsLine::theta, "50"},
                         {SettingsLine::fc, "16"},
                         {SettingsLine::ax, "1"}},
                        {{StyleLine::hidden, "7"}, {StyleLine::ticks, "1"}}};

// The layers, and the strokes each holds.
struct SvgRow {
    PageRow page;
    std::vector<std::string> labels;
    std::map<std::string, std::set<std::string>> strokes;
};

void PrintTo(const SvgRow& row, std::ostream* out)
{
    *out << row.page.name;
}

class SvgLayers : public ::testing::TestWithParam<SvgRow> {};

// Inkscape's layers in their order, each holding its kind; every stroke of
// the page's calls is in one polyline once; a polyline goes on as long as
// the next one in its layer would start at its end in its pen.
TEST_P(SvgLayers, HoldEachStrokeOnceInJoinedPolylines)
{
    const SvgRow& row = GetParam();
    const std::string svg = pageFile(row.page, "svg");
    ASSERT_NE(svg.find("xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""),
              std::string::npos);
    const std::vector<SvgLayer> layers = svgLayers(svg);

    std::vector<std::string> labels;
    std::set<Stroke> written;
    std::size_t count = 0;
    for (const SvgLayer& layer : layers) {
        labels.push_back(layer.label);
        std::set<std::string> pens;
        for (std::size_t i = 0; i < layer.polylines.size(); ++i) {
            const Polyline& p = layer.polylines[i];
            pens.insert(p.stroke);
            for (std::size_t j = 1; j < p.points.size(); ++j) {
                written.insert(strokeOf(p.points[j - 1].x, p.points[j - 1].y, p.points[j].x,
                                        p.points[j].y, p.stroke));
                ++count;
            }
            if (i > 0) {
                const Polyline& before = layer.polylines[i - 1];
                EXPECT_FALSE(before.group == p.group && before.stroke == p.stroke &&
                             before.points.back() == p.points.front())
                    << layer.label << ": polyline " << i << " goes on from the one before";
            }
        }
        const auto expected = row.strokes.find(layer.label);
        EXPECT_EQ(pens, expected == row.strokes.end() ? std::set<std::string>{} : expected->second)
            << layer.label;
    }
    EXPECT_EQ(labels, row.labels);
    for (const SvgLayer& layer : layers)
        EXPECT_TRUE(std::ranges::any_of(pageLayerNames, [&](const PageLayerName& n) {
            return n.label == layer.label && n.id == layer.id;
        })) << layer.label << " is " << layer.id;
    EXPECT_EQ(layers.front().elements, (std::set<std::string>{"clipPath", "g", "rect"}));
    EXPECT_EQ(layers.back().label, "Text");
    EXPECT_TRUE(layers.back().elements.contains("text"));
    EXPECT_FALSE(layers.back().elements.contains("polyline"));

    std::set<Stroke> traced;
    for (const TracedLine& l : tracedLines(row.page))
        traced.insert(strokeOf(l.from.x, l.from.y, l.to.x, l.to.y, hexColour(l.colour)));
    EXPECT_EQ(written, traced);
    EXPECT_EQ(count, traced.size()) << "a stroke written twice";
}

namespace SL = SettingsLine;
const std::set<std::string> magenta{"#FF00FF"};

// Rows where pens cannot tell the kinds apart: the layers still do.
INSTANTIATE_TEST_SUITE_P(
    Rows, SvgLayers,
    ::testing::Values(
        SvgRow{{"defaults", {}, {}}, {"Page", "Upper side", "Text"}, {{"Upper side", magenta}}},
        SvgRow{everyKind,
               {"Page", "Hidden lines", "Underside", "Upper side", "Frame box", "Axes and ticks",
                "Text"},
               {{"Hidden lines", {"#A0A0A0"}},
                {"Underside", {"#A000A0"}},
                {"Upper side", magenta},
                {"Frame box", {"#000000"}},
                {"Axes and ticks", {"#000000", "#0000FF", "#00FFFF", "#00FF00"}}}},
        SvgRow{{"undersideInTheSurfacePen", {{SL::tilt, "-35"}, {SL::pc, "3"}}, {}},
               {"Page", "Underside", "Upper side", "Text"},
               {{"Underside", {"#A00000"}}, {"Upper side", {"#A00000"}}}},
        SvgRow{{"hiddenInTheSurfacePen", {{SL::tilt, "30"}}, {{StyleLine::hidden, "13"}}},
               {"Page", "Hidden lines", "Upper side", "Text"},
               {{"Hidden lines", magenta}, {"Upper side", magenta}}},
        SvgRow{{"frameBoxInTheSurfacePen", {{SL::fc, "13"}, {SL::z1, "-1"}}, {}},
               {"Page", "Upper side", "Frame box", "Text"},
               {{"Upper side", magenta}, {"Frame box", magenta}}},
        // Bands choose the pens, the layers still the kinds.
        SvgRow{{"bandsOfEveryKind",
                {{SL::tilt, "-35"}, {SL::theta, "50"}, {SL::fc, "16"}, {SL::z2, "0.5"}},
                {{StyleLine::hidden, "7"}, {StyleLine::bands, "2"}}},
               {"Page", "Hidden lines", "Underside", "Upper side", "Frame box", "Text"},
               {{"Hidden lines", {"#A0A0A0"}},
                {"Underside", {"#1E2946", "#2F6531"}},
                {"Upper side", {"#3B528B"}},
                {"Frame box", {"#000000"}}}},
        // Seen ahead on a second thread where there is one, and kept for
        // this canvas, which has no layer of pixels for it.
        SvgRow{{"denseHidden",
                {{SL::n, "200"}, {SL::m, "350"}, {SL::k, "2"}, {SL::tilt, "-20"}},
                {{StyleLine::hidden, "7"}}},
               {"Page", "Hidden lines", "Underside", "Upper side", "Text"},
               {{"Hidden lines", {"#A0A0A0"}}, {"Underside", {"#A000A0"}}, {"Upper side", magenta}}}),
    [](const auto& info) { return std::string(info.param.page.name); });

// An HPGL page's instructions: its strokes by pen, and its labels.
struct Plot {
    std::string head, tail;
    std::set<Stroke> strokes;
    std::size_t count = 0;
    std::vector<std::string> labels;
    long long minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
};

Plot plotOf(const std::string& hpgl)
{
    Plot plot;
    plot.head = hpgl.substr(0, hpgl.find(';') + 1);
    plot.tail = hpgl.substr(hpgl.rfind("PU;"));
    std::string pen;
    long long x = 0, y = 0;
    for (std::size_t at = 0; at < hpgl.size();) {
        if (hpgl[at] == '\n') {
            ++at;
            continue;
        }
        const std::string op = hpgl.substr(at, 2);
        at += 2;
        if (op == "LB") {
            const std::size_t end = hpgl.find('\x03', at);
            plot.labels.push_back(hpgl.substr(at, end - at));
            at = end + 1;
            continue;
        }
        const std::size_t end = hpgl.find(';', at);
        std::istringstream args(hpgl.substr(at, end - at));
        at = end + 1;
        if (op == "SP") {
            pen = "SP" + args.str();
            continue;
        }
        std::vector<long long> values;
        for (std::string v; std::getline(args, v, ',');)
            values.push_back(std::stoll(v));
        for (std::size_t i = 0; i + 1 < values.size() && (op == "PU" || op == "PD"); i += 2) {
            if (op == "PD") {
                plot.strokes.insert(strokeOf(x, y, values[i], values[i + 1], pen));
                ++plot.count;
            }
            x = values[i];
            y = values[i + 1];
            plot.minX = std::min(plot.minX, x);
            plot.maxX = std::max(plot.maxX, x);
            plot.minY = std::min(plot.minY, y);
            plot.maxY = std::max(plot.maxY, y);
        }
    }
    return plot;
}

class HpglPages : public ::testing::TestWithParam<PageRow> {};

// Each stroke of the calls that lies within its clip is plotted once, at
// its pixel centres turned up, under the pen of its colour; nothing is
// plotted off the page; the plot starts with IN and ends with the pen put
// away; each text is a label.
TEST_P(HpglPages, PlotTheCallsStrokes)
{
    const PageRow& row = GetParam();
    const Plot plot = plotOf(pageFile(row, "hpgl"));
    EXPECT_EQ(plot.head, "IN;");
    EXPECT_EQ(plot.tail, "PU;SP0;\n");
    EXPECT_EQ(plot.strokes.size(), plot.count) << "a stroke plotted twice";
    const long long u = HpglCanvas::unitsPerPixel;
    EXPECT_GE(plot.minX, u / 2);
    EXPECT_GE(plot.minY, u / 2);
    EXPECT_LE(plot.maxX, u * row.width - u / 2);
    EXPECT_LE(plot.maxY, u * row.height - u / 2);

    std::size_t inside = 0;
    for (const TracedLine& l : tracedLines(row)) {
        const auto within = [&](DevicePoint p) {
            return !l.clip || (p.x >= l.clip->left && p.x < l.clip->right && p.y >= l.clip->top &&
                               p.y < l.clip->bottom);
        };
        if (!within(l.from) || !within(l.to))
            continue;
        ++inside;
        const Stroke s = strokeOf(u * l.from.x + u / 2, u * (row.height - l.from.y) - u / 2,
                                  u * l.to.x + u / 2, u * (row.height - l.to.y) - u / 2,
                                  "SP" + std::to_string(nearestPenIndex(l.colour) + 1));
        EXPECT_TRUE(plot.strokes.contains(s)) << l.from.x << ',' << l.from.y << ' ' << l.to.x
                                              << ',' << l.to.y;
    }
    EXPECT_GT(inside, 60u);
    EXPECT_EQ(plot.labels.front(), "a = 5");
    EXPECT_TRUE(std::find(plot.labels.begin(), plot.labels.end(), "theta     = 0") !=
                plot.labels.end());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HpglPages,
    ::testing::Values(
        PageRow{"small",
                {{SettingsLine::n, "4"}, {SettingsLine::m, "4"}, {SettingsLine::k, "2"},
                 {SettingsLine::fc, "16"}, {SettingsLine::ax, "1"}},
                {{StyleLine::ticks, "1"}},
                400,
                400},
        // The surface runs far out of its viewport, and is cut at it.
        PageRow{"cutAtTheViewport",
                {{SettingsLine::z2, "0.2"}, {SettingsLine::tilt, "40"}},
                {{StyleLine::hidden, "7"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The PDF's optional content groups in the catalogue, named and in order,
// all shown; the page draws each one's form inside its marked content.
struct PdfRow {
    PageRow page;
    std::vector<std::string> groups;
};

void PrintTo(const PdfRow& row, std::ostream* out)
{
    *out << row.page.name;
}

class PdfLayers : public ::testing::TestWithParam<PdfRow> {};

TEST_P(PdfLayers, AreOptionalContentGroups)
{
    const std::string bytes = pageFile(GetParam().page, "pdf");
    QPDF pdf;
    pdf.processMemoryFile("page.pdf", bytes.data(), bytes.size());
    QPDFObjectHandle properties = pdf.getRoot().getKey("/OCProperties");
    ASSERT_TRUE(properties.isDictionary());
    QPDFObjectHandle groups = properties.getKey("/OCGs");
    std::vector<std::string> names;
    for (int i = 0; i < groups.getArrayNItems(); ++i)
        names.push_back(groups.getArrayItem(i).getKey("/Name").getUTF8Value());
    EXPECT_EQ(names, GetParam().groups);
    EXPECT_EQ(properties.getKey("/D").getKey("/ON").getArrayNItems(), groups.getArrayNItems());

    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    ASSERT_EQ(pages.size(), 1u);
    QPDFObjectHandle resources = pages[0].getAttribute("/Resources", false);
    const std::shared_ptr<Buffer> data =
        pages[0].getObjectHandle().getKey("/Contents").getStreamData();
    const std::string content(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    std::string expected;
    for (int i = 0; i < groups.getArrayNItems(); ++i) {
        const std::string n = std::to_string(i);
        expected += "/OC /oc" + n + " BDC q /Layer" + n + " Do Q EMC\n";
        EXPECT_EQ(resources.getKey("/Properties").getKey("/oc" + n).getObjGen(),
                  groups.getArrayItem(i).getObjGen());
        QPDFObjectHandle form = resources.getKey("/XObject").getKey("/Layer" + n);
        EXPECT_EQ(form.getDict().getKey("/Subtype").getName(), "/Form");
        EXPECT_GT(form.getStreamData()->getSize(), 0u) << names[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(content, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PdfLayers,
    ::testing::Values(PdfRow{{"defaults", {}, {}}, {"Page", "Upper side", "Text"}},
                      PdfRow{everyKind,
                             {"Page", "Hidden lines", "Underside", "Upper side", "Frame box",
                              "Axes and ticks", "Text"}}),
    [](const auto& info) { return std::string(info.param.page.name); });

} // namespace
