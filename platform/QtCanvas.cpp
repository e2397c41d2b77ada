#include "platform/QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

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

// Bresenham's line from (x0, y0) up to, not including, (x1, y1), clipped.
// A segment wholly outside the clip is skipped; a very long one (only
// infinite heights make them) goes to the painter, which clips it first.
void QtCanvas::rasterLine(int x0, int y0, int x1, int y1)
{
    const QRect& c = rasterClip_;
    if (c.isEmpty() || std::max(x0, x1) < c.left() || std::min(x0, x1) > c.right() ||
        std::max(y0, y1) < c.top() || std::min(y0, y1) > c.bottom())
        return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    if (dx - dy > 4 * (c.width() + c.height())) {
        applyPen();
        painter_.drawLine(x0, y0, x1, y1);
        return;
    }
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const int left = c.left(), right = c.right(), top = c.top(), bottom = c.bottom();
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        if (x0 >= left && x0 <= right && y0 >= top && y0 <= bottom)
            pixels_[y0 * stride_ + x0] = penPixel_;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
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
    if (polyline_.empty())
        polyline_.push_back(start);
    if (end != polyline_.back())
        polyline_.push_back(end);
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
