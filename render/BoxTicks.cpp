#include "render/BoxTicks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

AxisTicks niceTicks(double a, double b)
{
    const double lo = std::min(a, b), hi = std::max(a, b);
    // Halved so that a range of -1e308..1e308 still has a finite extent.
    const double halfExtent = hi / 2 - lo / 2;
    const double magnitude = std::max(std::abs(lo), std::abs(hi));
    if (!std::isfinite(halfExtent) || !(halfExtent > 0) || halfExtent < magnitude * 1e-12)
        return {};
    // Start a decade below extent / 8 and climb 1, 2, 5, 10, ...: a dozen
    // candidates at most before one gives 8 ticks or fewer.
    int exponent = static_cast<int>(std::floor(std::log10(halfExtent / 4))) - 1;
    static constexpr std::array<double, 3> mantissas{1, 2, 5};
    for (int tries = 0; tries < 12; ++tries, ++exponent) {
        for (double m : mantissas) {
            const double step = m * std::pow(10.0, exponent);
            if (!(step > 0) || !std::isfinite(step))
                continue;
            const double first = std::ceil(lo / step), last = std::floor(hi / step);
            // Also refuses counts that are not numbers.
            if (!(last - first + 1 <= 8))
                continue;
            AxisTicks ticks{step, {}};
            for (double k = first; k <= last; ++k) {
                const double value = k * step;
                if (value >= lo && value <= hi)
                    ticks.values.push_back(value == 0 ? 0.0 : value);
            }
            return ticks;
        }
    }
    return {};
}

std::string tickLabel(double value, double step)
{
    if (value == 0 || !std::isfinite(value) || !(step > 0))
        return "0";
    const int valueExp = static_cast<int>(std::floor(std::log10(std::abs(value))));
    const int stepExp = static_cast<int>(std::floor(std::log10(step)));
    int digits = std::max(1, valueExp - stepExp + 1);
    // %g turns to exponent form once the exponent reaches the precision:
    // below 1e6 give it the integer digits so 100 stays "100".
    if (valueExp < 6)
        digits = std::max(digits, valueExp + 1);
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%.*g", std::min(digits, 17), value);
    return text.data();
}

namespace {

bool overlap(const DeviceRect& a, const DeviceRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool within(const DeviceRect& inner, const DeviceRect& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// A point of the box in world units.
struct Spot {
    double x = 0, y = 0;
};

// Lines and centred texts at box points, offset in device pixels.
class TickPen {
public:
    TickPen(PlotDevice& device, const Projection& view) : d_(device), p_(view)
    {
        const DeviceRect& v = device.viewport();
        const WorldWindow& w = device.world();
        worldPerPixelX_ = v.right != v.left ? (w.x2 - w.x1) / (v.right - v.left) : 0;
        worldPerPixelY_ = v.bottom != v.top ? (w.y2 - w.y1) / (v.top - v.bottom) : 0;
    }
    Spot at(double x, double y, double z) const { return {p_.projectX(x, y), p_.projectY(x, y, z)}; }
    // Pixels right and down to world units.
    Spot shifted(Spot s, double right, double down) const
    {
        return {s.x + right * worldPerPixelX_, s.y + down * worldPerPixelY_};
    }
    void line(Spot from, Spot to)
    {
        d_.moveTo(from.x, from.y);
        d_.lineTo(to.x, to.y);
    }
    // The label's box in device pixels, centred on s.
    DeviceRect boxOf(const std::string& text, Spot s) const
    {
        const int w = d_.textWidth(text), h = d_.lineHeight();
        const int cx = d_.toDeviceX(s.x), cy = d_.toDeviceY(s.y);
        return {cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h};
    }
    // Writes the text unless it would overlap one written before (the
    // ends of two axes meet at a corner).
    void text(const std::string& text, Spot s)
    {
        const DeviceRect box = boxOf(text, s);
        for (const DeviceRect& other : written_)
            if (overlap(box, other))
                return;
        written_.push_back(box);
        d_.writeCentredText(text, s.x, s.y);
    }
    PlotDevice& device() { return d_; }

private:
    PlotDevice& d_;
    const Projection& p_;
    double worldPerPixelX_ = 0, worldPerPixelY_ = 0;
    std::vector<DeviceRect> written_;
};

// Every n-th label, for the smallest n at which no two kept ones overlap.
std::vector<bool> everyNth(const std::vector<DeviceRect>& boxes)
{
    const std::size_t count = boxes.size();
    for (std::size_t every = 1; every < count; ++every) {
        bool clear = true;
        for (std::size_t i = every; i < count && clear; i += every)
            clear = !overlap(boxes[i - every], boxes[i]);
        if (clear) {
            std::vector<bool> kept(count, false);
            for (std::size_t i = 0; i < count; i += every)
                kept[i] = true;
            return kept;
        }
    }
    std::vector<bool> kept(count, false);
    if (count != 0)
        kept[0] = true;
    return kept;
}

// The labels kept: of those whole within the viewport (the page clips the
// rest, which would show cut numbers), every n-th as above.
std::vector<bool> keptLabels(const std::vector<DeviceRect>& boxes, const DeviceRect& viewport)
{
    std::vector<std::size_t> inside;
    std::vector<DeviceRect> insideBoxes;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (within(boxes[i], viewport)) {
            inside.push_back(i);
            insideBoxes.push_back(boxes[i]);
        }
    const std::vector<bool> nth = everyNth(insideBoxes);
    std::vector<bool> kept(boxes.size(), false);
    for (std::size_t j = 0; j < inside.size(); ++j)
        kept[inside[j]] = nth[j];
    return kept;
}

// One axis: ticks from the edge along a pixel direction, their labels
// beyond them, and the axis's name beyond those at the edge's middle.
struct EdgeAxis {
    double a = 0, b = 0;    // the range
    std::function<Spot(double)> point;  // the edge's point at a value
    double right = 0, down = 0;  // outward, in pixels per tick length
    const char* name = "";
};

void drawEdgeAxis(TickPen& pen, const EdgeAxis& axis)
{
    const AxisTicks ticks = niceTicks(axis.a, axis.b);
    if (ticks.values.empty())
        return;
    const double stub = pen.device().charWidth();
    const double lineH = pen.device().lineHeight();
    std::vector<std::string> texts;
    std::vector<Spot> spots;
    std::vector<DeviceRect> boxes;
    for (double v : ticks.values) {
        const Spot on = axis.point(v);
        pen.line(on, pen.shifted(on, axis.right * stub, axis.down * stub));
        texts.push_back(tickLabel(v, ticks.step));
        // Beyond the tick by half a text box, so the text clears the edge.
        const double w = pen.device().textWidth(texts.back());
        const Spot s = pen.shifted(on, axis.right * (stub + w / 2 + stub / 2),
                                   axis.down * (stub + lineH / 2 + stub / 2));
        spots.push_back(s);
        boxes.push_back(pen.boxOf(texts.back(), s));
    }
    const std::vector<bool> kept = keptLabels(boxes, pen.device().viewport());
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (kept[i])
            pen.text(texts[i], spots[i]);
    const Spot middle = axis.point((axis.a + axis.b) / 2);
    double far = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (kept[i])
            far = std::max(far, axis.right != 0 ? double(boxes[i].right - boxes[i].left)
                                                : double(boxes[i].bottom - boxes[i].top));
    pen.text(axis.name, pen.shifted(middle, axis.right * (2 * stub + far + stub),
                                    axis.down * (2 * stub + far + lineH / 2)));
}

} // namespace

void drawBoxTicks(PlotDevice& device, const Projection& view, int colour)
{
    const PlotBox& box = view.box;
    const int kept = device.penIndex();
    device.selectPen(colour);
    device.setTextColour(colour);
    const LayerScope layer(device.lines(), PageLayer::AxesAndTicks);
    TickPen pen(device, view);

    // The bottom edges nearest the viewer: y where y counts least on
    // screen, x likewise; they meet at the front corner.
    const double frontY = view.cosRotSinTilt >= 0 ? box.y1 : box.y2;
    const double frontX = view.sinRotSinTilt >= 0 ? box.x2 : box.x1;
    // The corner leftmost on screen carries the z ticks.
    const double leftX = view.cosRot >= 0 ? box.x1 : box.x2;
    const double leftY = view.sinRot >= 0 ? box.y1 : box.y2;

    drawEdgeAxis(pen, {box.x1, box.x2, [&](double v) { return pen.at(v, frontY, box.z1); },
                       0, 1, "x"});
    drawEdgeAxis(pen, {box.y1, box.y2, [&](double v) { return pen.at(frontX, v, box.z1); },
                       0, 1, "y"});
    drawEdgeAxis(pen, {box.z1, box.z2, [&](double v) { return pen.at(leftX, leftY, v); },
                       -1, 0, "z"});
    device.selectPen(kept);
}
