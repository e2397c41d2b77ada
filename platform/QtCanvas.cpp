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
    setPen(0, 1);
}

bool QtCanvas::end()
{
    flush();
    return painter_.isActive() && painter_.end();
}

QtCanvas::~QtCanvas()
{
    flush();
    if (painter_.isActive())
        painter_.end();
}

int QtCanvas::logPixelsX() const { return device_->logicalDpiX(); }
int QtCanvas::logPixelsY() const { return device_->logicalDpiY(); }

void QtCanvas::flush()
{
    flushLines();
}

void QtCanvas::flushLines()
{
    if (polyline_.size() >= 2 && painter_.isActive()) {
        applyPen();
        painter_.drawPolyline(polyline_.data(), static_cast<int>(polyline_.size()));
    }
    polyline_.clear();
}

// The painter's pen is set only when the painter draws a line: on a dense
// mesh the pen changes at every underside segment, and the painter's pen
// changes cost far more than the segments.
void QtCanvas::setPen(Colour colour, int width)
{
    width = std::clamp(width, 0, 1000);
    if (colour == penColour_ && width == penWidth_)
        return;
    flushLines();
    penColour_ = colour;
    penWidth_ = width;
    penPixel_ = 0xff000000u | toQColor(colour).rgb();
    painterPenStale_ = true;
}

void QtCanvas::applyPen()
{
    if (!painterPenStale_)
        return;
    painterPenStale_ = false;
    QPen pen(toQColor(penColour_), penWidth_);
    if (penWidth_ > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    painter_.setPen(pen);
}

void QtCanvas::setBrush(Colour colour)
{
    brush_ = toQColor(colour);
}

void QtCanvas::fillRect(const DeviceRect& rect, Colour colour)
{
    flushLines();
    if (rect.right > rect.left && rect.bottom > rect.top && painter_.isActive())
        painter_.fillRect(toQRect(rect), toQColor(colour));
}

void QtCanvas::rectangle(const DeviceRect& rect)
{
    flushLines();
    if (rect.right <= rect.left || rect.bottom <= rect.top || !painter_.isActive())
        return;
    painter_.fillRect(toQRect(rect), brush_);
    if (penWidth_ > 0) {
        applyPen();
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRect(rect.left, rect.top, rect.right - rect.left - 1,
                                rect.bottom - rect.top - 1));
    }
}

void QtCanvas::setClip(const DeviceRect& rect)
{
    flushLines();
    const QRect clip(rect.left, rect.top, std::max(0, rect.right - rect.left),
                     std::max(0, rect.bottom - rect.top));
    painter_.setClipRect(clip);
    rasterClip_ = clip.intersected(imageRect_);
}

void QtCanvas::clearClip()
{
    flushLines();
    painter_.setClipping(false);
    rasterClip_ = imageRect_;
}

void QtCanvas::moveTo(int x, int y)
{
    const QPoint to(x, y);
    if (to == position_)
        return;
    flushLines();
    position_ = to;
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

void QtCanvas::lineTo(int x, int y)
{
    const QPoint to(x, y);
    if (rasterLines()) {
        rasterLine(position_.x(), position_.y(), x, y);
        position_ = to;
        return;
    }
    if (polyline_.empty())
        polyline_.push_back(position_);
    if (to != polyline_.back())
        polyline_.push_back(to);
    position_ = to;
}

QFont QtCanvas::toQFont(const FontSpec& request) const
{
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
    return metricsOf(QFontMetrics(toQFont(font), device_));
}

void QtCanvas::selectFont(const FontSpec& font)
{
    font_ = toQFont(font);
    painter_.setFont(font_);
}

void QtCanvas::selectStockFixedFont()
{
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setPixelSize(12);
    painter_.setFont(font_);
}

TextMetrics QtCanvas::textMetrics()
{
    return metricsOf(QFontMetrics(font_, device_));
}

TextSize QtCanvas::textExtent(const std::string& text)
{
    const QFontMetrics fm(font_, device_);
    return {fm.horizontalAdvance(toQString(text)), fm.ascent() + fm.descent()};
}

void QtCanvas::setTextColour(Colour colour)
{
    textColour_ = toQColor(colour);
}

void QtCanvas::setBkColour(Colour colour)
{
    bkColour_ = toQColor(colour);
}

void QtCanvas::textOut(int x, int y, const std::string& text)
{
    flushLines();
    if (!painter_.isActive())
        return;
    const QString string = toQString(text);
    const QFontMetrics fm(font_, device_);
    painter_.fillRect(QRect(x, y, fm.horizontalAdvance(string), fm.ascent() + fm.descent()),
                      bkColour_);
    painter_.setPen(textColour_);
    painter_.drawText(QPoint(x, y + fm.ascent()), string);
    painterPenStale_ = true;
}
