#include "device/PlotDevice.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "device/DeviceInt.h"
#include "device/Fonts.h"
#include "device/PrinterSession.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;
constexpr double twoPi = 6.283185307179586;

// A whole percent of a page length: the integer product, then 0.01.
int percentOf(int pct, int length)
{
    const std::int64_t product = static_cast<std::int64_t>(pct) * length;
    return truncToDevice(static_cast<double>(product) * 0.01);
}

} // namespace

PlotDevice::PlotDevice(DeviceWindow& window) : window_(&window) {}

PlotDevice::~PlotDevice()
{
    finishDrawing();
}

void PlotDevice::bindWindow(DeviceWindow& window)
{
    window_ = &window;
}

bool PlotDevice::colourDrawing() const
{
    return printer_ == nullptr || printer_->colour();
}

void PlotDevice::beginDrawing(std::unique_ptr<PrinterSession> printer)
{
    indices_.text = indexOf(PenColour::DarkBlue);
    indices_.framePen = indexOf(PenColour::DarkGreen);
    indices_.brush = indexOf(BrushColour::White);
    screen_ = window_->acquireCanvas();
    bindCanvas(screen_);
    brush_ = colourOf(BrushColour::White);
    lines_.forgetPoint();
    selectFont(createPointFont(*dc_, "Times New Roman", 10, 10, 0));

    client_ = window_->clientRect();
    page_ = {client_.right - client_.left, client_.bottom - client_.top};
    pageAspect_ = static_cast<double>(page_.height) / page_.width;
    dc_->fill(client_, BrushColours[static_cast<std::size_t>(indices_.brush)]);

    if (printer != nullptr)
        startPrinting(std::move(printer));
    setUpColours();
}

// The font of the picture, and the text cursor at its start position.
void PlotDevice::selectFont(const FontSpec& font)
{
    font_ = font;
    const TextMetrics metrics = dc_->fontMetrics(font_);
    charWidth_ = metrics.aveCharWidth;
    lineHeight_ = metrics.height;
    textY_ = lineHeight_;
    lineStartX_ = textX_ = 10 * charWidth_;
}

void PlotDevice::setUpColours()
{
    lines_.selectPen(indexOf(PenColour::Black), Pen{colourOf(PenColour::Black), penWidth_});
}

void PlotDevice::bindCanvas(Canvas* canvas)
{
    dc_ = canvas;
    lines_.bind(canvas);
}

std::optional<PrintOutcome> PlotDevice::finishDrawing()
{
    endLine();
    setPenWidth(1);
    std::optional<PrintOutcome> printed;
    if (printer_ != nullptr)
        printed = finishPrinting();
    if (dc_ != nullptr) {
        window_->releaseCanvas(dc_);
        bindCanvas(nullptr);
        screen_ = nullptr;
    }
    return printed;
}

void PlotDevice::setPageColours(BrushColour brush, PenColour framePen, PenColour textColour)
{
    if (!colourDrawing())
        return;
    indices_.brush = indexOf(brush);
    indices_.framePen = indexOf(framePen);
    indices_.text = indexOf(textColour);
}

void PlotDevice::presetPen(int index)
{
    if (colourDrawing())
        lines_.presetIndex(index);
}

void PlotDevice::setViewport(int leftPct, int rightPct, int bottomPct, int topPct, ClipMode mode)
{
    viewport_ = {percentOf(leftPct, page_.width), percentOf(100 - topPct, page_.height),
                 percentOf(rightPct, page_.width), percentOf(100 - bottomPct, page_.height)};

    lineStartX_ = textX_ = viewport_.left + charWidth_;
    if (!(mode == ClipMode::NoClipKeepLine && textY_ <= viewport_.bottom - lineHeight_))
        textY_ = viewport_.top + lineHeight_ / 3;

    if (isBrushIndex(indices_.brush))
        brush_ = BrushColours[static_cast<std::size_t>(indices_.brush)];
    clipped_ = mode == ClipMode::Clip;
    applyClip();
    viewportAspect_ = static_cast<double>(topPct - bottomPct) * pageAspect_ / (rightPct - leftPct);
}

void PlotDevice::applyClip()
{
    if (dc_ == nullptr)
        return;
    endLine();
    if (clipped_)
        dc_->clip(viewport_);
    else
        dc_->unclip();
}

void PlotDevice::unclip()
{
    clipped_ = false;
    applyClip();
}

void PlotDevice::clipToViewport()
{
    clipped_ = true;
    applyClip();
}

void PlotDevice::setWorld(double x1, double x2, double y1, double y2)
{
    world_ = {x1, x2, y1, y2};
    const double xSpan = x2 - x1;
    const double ySpan = y2 - y1;
    xScale_ = (1 / xSpan) * (viewport_.right - viewport_.left);
    yScale_ = (1 / ySpan) * (viewport_.bottom - viewport_.top);
    worldAspect_ = xSpan * viewportAspect_ / ySpan;
}

// The values setWorld(0, 100, 0, 100) gives, as the page has always
// formed them.
void PlotDevice::setPercentWorld()
{
    world_ = {0, 100, 0, 100};
    xScale_ = (viewport_.right - viewport_.left) * 0.01;
    yScale_ = (viewport_.bottom - viewport_.top) * 0.01;
    worldAspect_ = viewportAspect_;
}

void PlotDevice::penAt(int index)
{
    lines_.setPen({PenColours[static_cast<std::size_t>(index)], penWidth_});
}

void PlotDevice::selectPen(int index)
{
    lines_.selectPen(index, penFor(index));
}

std::optional<Pen> PlotDevice::penFor(int index) const
{
    if (!isPenIndex(index) || !colourDrawing())
        return std::nullopt;
    return Pen{PenColours[static_cast<std::size_t>(index)], penWidth_};
}

std::optional<Pen> PlotDevice::penOf(Colour colour) const
{
    if (!colourDrawing())
        return std::nullopt;
    return Pen{colour, penWidth_};
}

std::unique_ptr<CanvasLayer> PlotDevice::openLayer()
{
    return dc_ != nullptr ? dc_->openLayer() : nullptr;
}

void PlotDevice::composeLayer(CanvasLayer& layer)
{
    endLine();
    if (dc_ != nullptr)
        dc_->compose(layer);
}

void PlotDevice::selectBrush(int index)
{
    if (!isBrushIndex(index) || !colourDrawing())
        return;
    brush_ = BrushColours[static_cast<std::size_t>(index)];
    indices_.brush = index;
}

void PlotDevice::fillViewport(int index)
{
    if (!colourDrawing() || !isBrushIndex(index))
        return;
    brush_ = BrushColours[static_cast<std::size_t>(index)];
    indices_.brush = index;
    endLine();
    if (dc_ != nullptr)
        dc_->fill(viewport_, brush_);
}

void PlotDevice::fillRect(const DeviceRect& rect, Colour colour)
{
    if (!colourDrawing())
        return;
    endLine();
    if (dc_ != nullptr)
        dc_->fill(rect, colour);
}

void PlotDevice::frameViewport()
{
    const bool restoreClip = clipped_;
    if (restoreClip)
        unclip();
    const int kept = penIndex();
    selectPen(indices_.framePen);
    endLine();
    if (dc_ != nullptr)
        dc_->frame(viewport_, pen(), brush_);
    if (restoreClip)
        clipToViewport();
    selectPen(kept);
}

// The printer draws with pen 0 at the new width (the pen it had is
// replaced); the screen keeps its pen at the new width.
void PlotDevice::setPenWidth(int width)
{
    penWidth_ = width;
    if (dc_ == nullptr)
        return;
    if (printer_ != nullptr)
        penAt(indexOf(PenColour::Black));
    else if (isPenIndex(penIndex()))
        penAt(penIndex());
}

int PlotDevice::toDeviceX(double x) const
{
    return truncToDevice((x - world_.x1) * xScale_ + viewport_.left + 0.5);
}

int PlotDevice::toDeviceY(double y) const
{
    return truncToDevice(viewport_.bottom - (y - world_.y1) * yScale_ + 0.5);
}

void PlotDevice::drawGrid(int columns, int rows, int tickLength)
{
    const int kept = penIndex();
    selectPen(indices_.framePen);
    const std::int64_t product = static_cast<std::int64_t>(columns) * rows * tickLength;
    if (product != 0) {
        const WorldWindow saved = world_;
        setWorld(0, columns, 0, rows);
        const double l = tickLength * (world_.x2 - world_.x1) * 0.003;
        const double ly = l / worldAspect_;
        for (std::int64_t i = 1; i <= std::int64_t{columns} - 1; ++i) {
            moveTo(static_cast<double>(i), 0);
            lineTo(static_cast<double>(i), ly);
        }
        for (std::int64_t j = 1; j <= std::int64_t{rows} - 1; ++j) {
            moveTo(0, static_cast<double>(j));
            lineTo(l, static_cast<double>(j));
        }
        setWorld(saved.x1, saved.x2, saved.y1, saved.y2);
    }
    selectPen(kept);
}

void PlotDevice::drawCircle(double cx, double cy, double r, int segments, double startDegrees)
{
    const double ry = r / worldAspect_;
    const double step = twoPi / segments;
    double a = startDegrees * degreesToRadians;
    moveTo(cx + r * std::cos(a), cy + ry * std::sin(a));
    for (int s = 0; s < segments; ++s) {
        a = a + step;
        lineTo(cx + r * std::cos(a), cy + ry * std::sin(a));
    }
    moveTo(cx, cy);
}
