#include "platform/QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLineF>
#include <QPaintDevice>
#include <QRect>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "device/SegmentClip.h"
#include "platform/QtLayer.h"

namespace {

QRect toQRect(const DeviceRect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// Sheet texts are bytes: each one shows as its Latin-1 character.
QString toQString(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

TextMetrics metricsOf(const QFontMetrics& fm)
{
    return {fm.ascent() + fm.descent(), fm.ascent(), fm.averageCharWidth()};
}

} // namespace

QColor QtCanvas::toQColor(Colour c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

PixelView QtCanvas::pixelsOf(QImage& image)
{
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.bytesPerLine() / 4,
            image.width(), image.height()};
}

QtCanvas::QtCanvas(QPaintDevice* device) : device_(device)
{
    if (device_->width() > 0 && device_->height() > 0)
        painter_.begin(device_);
    if (device_->devType() == QInternal::Image && painter_.isActive()) {
        auto* image = static_cast<QImage*>(device_);
        if (image->format() == QImage::Format_RGB32)
            raster_.emplace(pixelsOf(*image));
    }
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    polyline_.reserve(4096);
}

bool QtCanvas::end()
{
    endLine();
    return painter_.isActive() && painter_.end();
}

QtCanvas::~QtCanvas()
{
    endLine();
    if (painter_.isActive())
        painter_.end();
}

Resolution QtCanvas::resolution() const
{
    return {device_->logicalDpiX(), device_->logicalDpiY()};
}

// On a dense mesh the pen changes at every underside segment, and the
// painter's pen changes cost far more than the segments, so the painter
// gets it only when it draws.
void QtCanvas::usePen(Pen pen)
{
    if (pen == pen_)
        return;
    pen_ = pen;
    penPixel_ = 0xff000000u | toQColor(pen.colour).rgb();
    painterPenStale_ = true;
}

void QtCanvas::applyPen()
{
    if (!painterPenStale_)
        return;
    painterPenStale_ = false;
    QPen pen(toQColor(pen_.colour), pen_.width);
    if (pen_.width > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    painter_.setPen(pen);
}

void QtCanvas::fill(const DeviceRect& rect, Colour colour)
{
    endLine();
    if (rect.right > rect.left && rect.bottom > rect.top && painter_.isActive())
        painter_.fillRect(toQRect(rect), toQColor(colour));
}

void QtCanvas::frame(const DeviceRect& rect, Pen pen, Colour brush)
{
    endLine();
    pen.width = std::clamp(pen.width, 0, 1000);
    usePen(pen);
    if (rect.right <= rect.left || rect.bottom <= rect.top || !painter_.isActive())
        return;
    painter_.fillRect(toQRect(rect), toQColor(brush));
    if (pen_.width > 0) {
        applyPen();
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRect(rect.left, rect.top, rect.right - rect.left - 1,
                                rect.bottom - rect.top - 1));
    }
}

void QtCanvas::clip(const DeviceRect& rect)
{
    endLine();
    const QRect clip(rect.left, rect.top, std::max(0, rect.right - rect.left),
                     std::max(0, rect.bottom - rect.top));
    painter_.setClipRect(clip);
    if (raster_)
        raster_->clip(rect);
}

void QtCanvas::unclip()
{
    endLine();
    painter_.setClipping(false);
    if (raster_)
        raster_->unclip();
}

// A segment the painter cannot take as it is (its coordinates are too
// large for the rasteriser's fixed point) is cut, in doubles, to the area
// it can show, a pen's width around the clip, keeping its direction.
void QtCanvas::clippedPainterLine(DevicePoint from, DevicePoint to)
{
    const QRectF area = QRectF(painter_.hasClipping() ? painter_.clipBoundingRect()
                                                      : QRectF(0, 0, device_->width(), device_->height()))
                            .adjusted(-pen_.width - 1, -pen_.width - 1, pen_.width + 1, pen_.width + 1);
    const std::optional<RealSegment> shown =
        clipSegment({{double(from.x), double(from.y)}, {double(to.x), double(to.y)}}, area.left(),
                    area.top(), area.right(), area.bottom());
    if (!shown)
        return;
    applyPen();
    painter_.drawLine(QLineF(shown->from.x, shown->from.y, shown->to.x, shown->to.y));
}

// Thin lines on the image go straight into its pixels. The painter gets
// a line's segments as one polyline when the line ends: wide pens join
// at the ends of segments as they do on a polyline.
void QtCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    if (pen == pen_ && rasterLines()) {
        raster_->line(from, to, penPixel_);
        return;
    }
    pen.width = std::clamp(pen.width, 0, 1000);
    const QPoint start(from.x, from.y), end(to.x, to.y);
    if (!polyline_.empty() && (!(pen == pen_) || polyline_.back() != start))
        endLine();
    usePen(pen);
    if (rasterLines()) {
        raster_->line(from, to, penPixel_);
        return;
    }
    if (!painterCanTake(from) || !painterCanTake(to)) {
        endLine();
        if (painter_.isActive())
            clippedPainterLine(from, to);
        return;
    }
    if (polyline_.empty())
        polyline_.push_back(start);
    if (end != polyline_.back())
        polyline_.push_back(end);
}

void QtCanvas::polyline(std::span<const DevicePoint> points, Pen pen)
{
    if (points.size() < 2)
        return;
    segment(points[0], points[1], pen);
    if (pen == pen_ && rasterLines()) {
        raster_->polyline(points.subspan(1), penPixel_);
        return;
    }
    for (std::size_t i = 2; i < points.size(); ++i)
        segment(points[i - 1], points[i], pen);
}

// A layer doubles the image's memory: only for an image of a window's
// size, not for a poster rendered to a file.
std::unique_ptr<CanvasLayer> QtCanvas::openLayer()
{
    constexpr qsizetype maxLayerPixels = qsizetype{1} << 24;
    if (!raster_ || qsizetype{raster_->view().width} * raster_->view().height > maxLayerPixels)
        return nullptr;
    auto layer = std::make_unique<QtLayer>(QSize(raster_->view().width, raster_->view().height),
                                           raster_->clipRect());
    return layer->drawable() ? std::move(layer) : nullptr;
}

// The layer was opened by this canvas, with its clip.
void QtCanvas::compose(CanvasLayer& layer)
{
    endLine();
    if (raster_)
        static_cast<QtLayer&>(layer).layOver(raster_->view());
}

void QtCanvas::endLine()
{
    if (polyline_.size() >= 2 && painter_.isActive()) {
        applyPen();
        painter_.drawPolyline(polyline_.data(), static_cast<int>(polyline_.size()));
    }
    polyline_.clear();
}

// The painter takes each new font at once: an SVG or PDF writes the
// painter's font with every element, so it is the font of the picture
// even before its first text.
const QFont& QtCanvas::qFont(const FontSpec& request)
{
    if (haveFont_ && request == fontSpec_)
        return font_;
    fontSpec_ = request;
    haveFont_ = true;
    font_ = toQFont(request);
    if (painter_.isActive())
        painter_.setFont(font_);
    return font_;
}

QFont QtCanvas::toQFont(const FontSpec& request) const
{
    if (request.stockFixed) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPixelSize(12);
        return fixed;
    }
    QFont font(QString::fromLatin1(request.face.c_str()));
    font.setPixelSize(request.height == 0 ? 12 : std::clamp(std::abs(request.height), 1, 10000));
    font.setBold(request.weight >= 700);
    font.setItalic(request.italic);
    font.setUnderline(request.underline);
    font.setStrikeOut(request.strikeOut);
    if (request.width > 0) {
        const int natural = QFontMetrics(font, device_).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(
                static_cast<int>(std::lround(100.0 * request.width / natural)), 1, 4000));
    }
    return font;
}

TextMetrics QtCanvas::fontMetrics(const FontSpec& font)
{
    return metricsOf(QFontMetrics(qFont(font), device_));
}

int QtCanvas::textWidth(const std::string& text, const FontSpec& font)
{
    return QFontMetrics(qFont(font), device_).horizontalAdvance(toQString(text));
}

void QtCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
                    Colour background)
{
    endLine();
    if (!painter_.isActive())
        return;
    const QString string = toQString(text);
    const QFont& qfont = qFont(font);
    const QFontMetrics fm(qfont, device_);
    painter_.fillRect(QRect(at.x, at.y, fm.horizontalAdvance(string), fm.ascent() + fm.descent()),
                      toQColor(background));
    painter_.setPen(toQColor(colour));
    painter_.drawText(QPoint(at.x, at.y + fm.ascent()), string);
    painterPenStale_ = true;
}
