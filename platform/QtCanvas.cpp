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
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

QtCanvas::QtCanvas(QPaintDevice* device) : device_(device)
{
    if (device_->width() > 0 && device_->height() > 0)
        painter_.begin(device_);
    if (device_->devType() == QInternal::Image && painter_.isActive()) {
        auto* image = static_cast<QImage*>(device_);
        if (image->format() == QImage::Format_RGB32) {
            pixels_ = reinterpret_cast<quint32*>(image->bits());
            stride_ = image->bytesPerLine() / 4;
            imageRect_ = image->rect();
            rasterClip_ = imageRect_;
        }
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
    rasterClip_ = clip.intersected(imageRect_);
}

void QtCanvas::unclip()
{
    endLine();
    painter_.setClipping(false);
    rasterClip_ = imageRect_;
}

namespace {

// Products of two coordinate spans pass 64 bits.
__extension__ typedef __int128 Wide;

Wide ceilDiv(Wide a, Wide b)  // b > 0
{
    const Wide q = a / b;
    return a % b != 0 && a > 0 ? q + 1 : q;
}

// The pixels of a Bresenham line, numbered t = 0 .. major-1: pixel t is t
// steps along the major axis and minorSteps(t) along the minor one.
struct LineSteps {
    std::int64_t major, minor;

    std::int64_t minorSteps(std::int64_t t) const
    {
        return static_cast<std::int64_t>((2 * Wide{minor} * t + major) / (2 * Wide{major}));
    }
    // The first t with minorSteps(t) >= a.
    Wide firstReaching(Wide a) const
    {
        return minor == 0 ? (a <= 0 ? 0 : major) : ceilDiv(2 * major * a - major, 2 * Wide{minor});
    }
};

// The steps s (0 <= s, one way) that keep start + sign * s within lo..hi.
struct StepRange {
    Wide first, last;
};
StepRange stepsWithin(std::int64_t start, int sign, std::int64_t lo, std::int64_t hi)
{
    return sign > 0 ? StepRange{lo - start, hi - start} : StepRange{start - hi, start - lo};
}

} // namespace

// Bresenham's line from (x0, y0) up to, not including, (x1, y1), clipped.
// The walk starts at the first of its pixels inside the clip and stops
// after the last, both found exactly, so a line far longer than the page
// costs only its visible pixels, and those are the pixels of the whole
// line.
void QtCanvas::rasterLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1)
{
    const QRect& c = rasterClip_;
    const std::int64_t left = c.left(), right = c.right(), top = c.top(), bottom = c.bottom();
    if (c.isEmpty() || std::max(x0, x1) < left || std::min(x0, x1) > right ||
        std::max(y0, y1) < top || std::min(y0, y1) > bottom)
        return;
    const std::int64_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= -dy;
    const LineSteps steps{xMajor ? dx : -dy, xMajor ? -dy : dx};
    if (steps.major == 0)
        return;

    Wide first = 0, last = steps.major - 1;
    const bool inside = std::min(x0, x1) >= left && std::max(x0, x1) <= right &&
                        std::min(y0, y1) >= top && std::max(y0, y1) <= bottom;
    if (!inside) {
        const StepRange along = xMajor ? stepsWithin(x0, sx, left, right)
                                       : stepsWithin(y0, sy, top, bottom);
        const StepRange across = xMajor ? stepsWithin(y0, sy, top, bottom)
                                        : stepsWithin(x0, sx, left, right);
        first = std::max({first, along.first, steps.firstReaching(across.first)});
        last = std::min({last, along.last, steps.firstReaching(across.last + 1) - 1});
        if (first > last)
            return;
    }

    const auto t0 = static_cast<std::int64_t>(first), t1 = static_cast<std::int64_t>(last);
    const std::int64_t minorAt = t0 == 0 ? 0 : steps.minorSteps(t0);
    const std::int64_t xs = xMajor ? t0 : minorAt, ys = xMajor ? minorAt : t0;
    std::int64_t x = x0 + sx * xs, y = y0 + sy * ys;
    std::int64_t err = dx + dy + ys * dx + xs * dy;
    for (std::int64_t t = t0;; ++t) {
        pixels_[y * stride_ + x] = penPixel_;
        if (t == t1)
            break;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// A segment the painter cannot take as it is (its coordinates are too
// large for the rasteriser's fixed point) is cut, in doubles, to the area
// it can show, a pen's width around the clip, keeping its direction.
void QtCanvas::clippedPainterLine(DevicePoint from, DevicePoint to)
{
    const QRectF area = QRectF(painter_.hasClipping() ? painter_.clipBoundingRect()
                                                      : QRectF(0, 0, device_->width(), device_->height()))
                            .adjusted(-pen_.width - 1, -pen_.width - 1, pen_.width + 1, pen_.width + 1);
    const double x0 = from.x, y0 = from.y, ddx = double(to.x) - x0, ddy = double(to.y) - y0;
    double enter = 0, leave = 1;
    // Liang and Barsky: each edge narrows the part of the segment inside.
    const double p[4] = {-ddx, ddx, -ddy, ddy};
    const double q[4] = {x0 - area.left(), area.right() - x0, y0 - area.top(), area.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, r);
        else
            leave = std::min(leave, r);
    }
    if (enter > leave)
        return;
    applyPen();
    painter_.drawLine(QLineF(x0 + enter * ddx, y0 + enter * ddy, x0 + leave * ddx, y0 + leave * ddy));
}

// Thin lines on the image go straight into its pixels. The painter gets
// a line's segments as one polyline when the line ends: wide pens join
// at the ends of segments as they do on a polyline.
void QtCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    if (pen == pen_ && rasterLines()) {
        rasterLine(from.x, from.y, to.x, to.y);
        return;
    }
    pen.width = std::clamp(pen.width, 0, 1000);
    const QPoint start(from.x, from.y), end(to.x, to.y);
    if (!polyline_.empty() && (!(pen == pen_) || polyline_.back() != start))
        endLine();
    usePen(pen);
    if (rasterLines()) {
        rasterLine(from.x, from.y, to.x, to.y);
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
        rasterPolyline(points.subspan(1));
        return;
    }
    for (std::size_t i = 2; i < points.size(); ++i)
        segment(points[i - 1], points[i], pen);
}

// On a dense mesh most segments have no length, and which do follows no
// pattern: the points are first taken without their repeats (a write of
// every point, a step on only for a new one, no branch), and the segments
// left drawn. Nearly all of those are one step long, and such a segment's
// only pixel is its start.
void QtCanvas::rasterPolyline(std::span<const DevicePoint> points)
{
    const QRect& c = rasterClip_;
    if (c.isEmpty() || points.empty())
        return;
    const std::int64_t left = c.left(), top = c.top();
    const auto width = static_cast<std::uint64_t>(c.width());
    const auto height = static_cast<std::uint64_t>(c.height());
    DevicePoint last = points.front();
    std::size_t from = 1;
    while (from < points.size()) {
        const std::size_t count = std::min(distinct_.size() - 1, points.size() - from);
        distinct_[0] = last;
        std::size_t kept = 1;
        for (std::size_t i = 0; i < count; ++i) {
            const DevicePoint p = points[from + i];
            distinct_[kept] = p;
            kept += !(p == points[from + i - 1]);
        }
        for (std::size_t i = 1; i < kept; ++i) {
            const DevicePoint a = distinct_[i - 1], b = distinct_[i];
            const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
            if (static_cast<std::uint64_t>(dx + 1) <= 2 && static_cast<std::uint64_t>(dy + 1) <= 2) {
                if (static_cast<std::uint64_t>(a.x - left) < width &&
                    static_cast<std::uint64_t>(a.y - top) < height)
                    pixels_[a.y * stride_ + a.x] = penPixel_;
            } else {
                rasterLine(a.x, a.y, b.x, b.y);
            }
        }
        last = distinct_[kept - 1];
        from += count;
    }
}

namespace {

// An image of the canvas's size, every pixel 0 until drawn on: every
// pixel the canvas draws is opaque, and so never 0. (The image's own fill
// would make them opaque black.)
QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
        std::memset(image.bits(), 0, static_cast<std::size_t>(image.sizeInBytes()));
    return image;
}

class QtLayer final : public CanvasLayer {
public:
    QtLayer(QSize size, const QRect& clip)
        : image_(blankImage(size)), canvas_(&image_), clip_(clip)
    {
        canvas_.clip({clip.left(), clip.top(), clip.left() + clip.width(),
                      clip.top() + clip.height()});
    }

    Canvas& canvas() override { return canvas_; }
    // False when there was no memory for the image.
    bool drawable() const { return !image_.isNull(); }

    // The drawn pixels over the pixels of another image of its size.
    void layOver(quint32* pixels, qsizetype stride)
    {
        canvas_.end();
        const QRect& area = clip_;
        const auto* from = reinterpret_cast<const quint32*>(image_.constBits());
        const qsizetype fromStride = image_.bytesPerLine() / 4;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const quint32* source = from + y * fromStride;
            quint32* target = pixels + y * stride;
            for (int x = area.left(); x <= area.right(); ++x)
                target[x] = source[x] != 0 ? source[x] : target[x];
        }
    }

private:
    QImage image_;
    QtCanvas canvas_;
    QRect clip_;
};

} // namespace

// A layer doubles the image's memory: only for an image of a window's
// size, not for a poster rendered to a file.
std::unique_ptr<CanvasLayer> QtCanvas::openLayer()
{
    constexpr qsizetype maxLayerPixels = qsizetype{1} << 24;
    if (pixels_ == nullptr ||
        qsizetype{imageRect_.width()} * imageRect_.height() > maxLayerPixels)
        return nullptr;
    auto layer = std::make_unique<QtLayer>(imageRect_.size(), rasterClip_);
    return layer->drawable() ? std::move(layer) : nullptr;
}

// The layer was opened by this canvas, with its clip.
void QtCanvas::compose(CanvasLayer& layer)
{
    endLine();
    if (pixels_ != nullptr)
        static_cast<QtLayer&>(layer).layOver(pixels_, stride_);
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
