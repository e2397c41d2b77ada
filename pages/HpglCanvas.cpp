#include "pages/HpglCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "device/SegmentClip.h"

namespace {

constexpr std::size_t blockSize = 1 << 16;
// A PD instruction's pairs before the next: lines a plotter's buffer and
// a reader take at ease.
constexpr int pairsPerInstruction = 32;
constexpr double centimetresPerPixel = HpglCanvas::unitsPerPixel * 0.0025;
// HP-GL's character cell is 1.5 character widths wide; a capital is some
// seven tenths of a font's ascent high.
constexpr double cellPerWidth = 1.5;
constexpr double capitalPerAscent = 0.7;

std::string pair(long long x, long long y)
{
    return std::to_string(x) + ',' + std::to_string(y);
}

// Printable ASCII as it is, other bytes a question mark, control bytes
// left out (the label's terminator among them).
std::string labelText(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            out += c;
        else if (byte > 0x7f)
            out += '?';
    }
    return out;
}

} // namespace

HpglCanvas::HpglCanvas(Canvas& fonts, ByteSink& out, int width, int height)
    : FileCanvas(fonts), out_(out), width_(width), height_(height), area_{0, 0, width, height}
{
    buffer_.reserve(blockSize + 256);
}

HpglCanvas::~HpglCanvas()
{
    finish();
}

void HpglCanvas::finish()
{
    if (finished_)
        return;
    endPath();
    flush();
    finished_ = true;
}

void HpglCanvas::put(const std::string& text)
{
    buffer_ += text;
    if (buffer_.size() >= blockSize)
        flush();
}

void HpglCanvas::flush()
{
    if (!buffer_.empty())
        out_.write(buffer_);
    buffer_.clear();
}

HpglCanvas::Plotted HpglCanvas::plotted(double x, double y) const
{
    return {std::llround(unitsPerPixel * x) + unitsPerPixel / 2,
            std::llround(unitsPerPixel * (height_ - y)) - unitsPerPixel / 2};
}

void HpglCanvas::endPath()
{
    if (pairs_ > 0)
        put(";\n");
    pairs_ = 0;
}

void HpglCanvas::usePen(Colour colour)
{
    const int pen = nearestPenIndex(colour) + 1;
    if (pen == pen_)
        return;
    endPath();
    put("SP" + std::to_string(pen) + ";\n");
    pen_ = pen;
}

// On from where the pen stands, or up to the start first.
void HpglCanvas::stroke(Plotted from, Plotted to, Colour colour)
{
    if (from == to)
        return;
    usePen(colour);
    if (!down_ || !(from == at_)) {
        endPath();
        put("PU" + pair(from.x, from.y) + ";\n");
    }
    if (pairs_ == pairsPerInstruction)
        endPath();
    put((pairs_ == 0 ? "PD" : ",") + pair(to.x, to.y));
    ++pairs_;
    down_ = true;
    at_ = to;
}

// Pixel centres within the clip and the page: the ends of a line inside
// are its own, those outside where it leaves.
void HpglCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    const DeviceRect& a = area_;
    if (a.right <= a.left || a.bottom <= a.top)
        return;
    const auto inside = [&](DevicePoint p) {
        return p.x >= a.left && p.x < a.right && p.y >= a.top && p.y < a.bottom;
    };
    if (inside(from) && inside(to)) {
        stroke(plotted(from.x, from.y), plotted(to.x, to.y), pen.colour);
        return;
    }
    const std::optional<RealSegment> shown =
        clipSegment({{double(from.x), double(from.y)}, {double(to.x), double(to.y)}}, a.left,
                    a.top, a.right - 1, a.bottom - 1);
    if (shown)
        stroke(plotted(shown->from.x, shown->from.y), plotted(shown->to.x, shown->to.y),
               pen.colour);
}

void HpglCanvas::frame(const DeviceRect& r, Pen pen, Colour)
{
    if (pen.width <= 0 || r.right <= r.left || r.bottom <= r.top)
        return;
    const DevicePoint corners[] = {{r.left, r.top}, {r.right - 1, r.top},
                                   {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1},
                                   {r.left, r.top}};
    for (std::size_t i = 1; i < std::size(corners); ++i)
        segment(corners[i - 1], corners[i], pen);
}

void HpglCanvas::clip(const DeviceRect& r)
{
    area_ = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_),
             std::min(r.bottom, height_)};
}

void HpglCanvas::unclip()
{
    area_ = {0, 0, width_, height_};
}

// A label from the left end of the text's baseline, its characters as
// far apart as the font's average and their capitals as high; one that
// starts off the page is left out.
void HpglCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font,
                      Colour colour, Colour)
{
    const std::string label = labelText(text);
    const TextMetrics metrics = fonts_.fontMetrics(font);
    const long long baseline = static_cast<long long>(at.y) + metrics.ascent;
    if (label.empty() || at.x < 0 || at.x >= width_ || baseline < 0 || baseline >= height_)
        return;
    char size[64];
    std::snprintf(size, sizeof size, "SI%.3f,%.3f;\n",
                  metrics.aveCharWidth / cellPerWidth * centimetresPerPixel,
                  metrics.ascent * capitalPerAscent * centimetresPerPixel);
    usePen(colour);
    endPath();
    if (labelSize_ != size) {
        labelSize_ = size;
        put(labelSize_);
    }
    const Plotted start = plotted(at.x, static_cast<double>(baseline));
    put("PU" + pair(start.x, start.y) + ";\nLB" + label + "\x03\n");
    down_ = false;
}
