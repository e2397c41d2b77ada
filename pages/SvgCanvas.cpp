#include "pages/SvgCanvas.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "device/RecordingCanvas.h"

namespace {

constexpr std::size_t blockSize = 1 << 16;

std::string number(long long v)
{
    return std::to_string(v);
}

// A line's points are most of a page's bytes: each is made in place and
// appended at once, "x,y", after a space unless it is the first.
void appendPoint(std::string& out, DevicePoint p, bool first = false)
{
    char text[32] = {' '};
    char* end = std::to_chars(text + (first ? 0 : 1), text + 16, p.x).ptr;
    *end++ = ',';
    end = std::to_chars(end, text + sizeof text, p.y).ptr;
    out.append(text, end);
}

// A Latin-1 character as UTF-8: one byte, or two from U+0080.
std::string utf8Of(unsigned char byte)
{
    if (byte < 0x80)
        return std::string(1, static_cast<char>(byte));
    return {static_cast<char>(0xc0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3f))};
}

// Sheet texts are Latin-1 bytes: as UTF-8, with XML's specials escaped
// and control bytes left out.
std::string xmlText(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else if (byte < 0x20 || byte == 0x7f)
            continue;
        else
            out += utf8Of(byte);
    }
    return out;
}

} // namespace

SvgCanvas::SvgCanvas(Canvas& fonts, ByteSink& out, std::string idPrefix)
    : FileCanvas(fonts), out_(out), idPrefix_(std::move(idPrefix))
{
    buffer_.reserve(blockSize + 1024);
}

SvgCanvas::~SvgCanvas()
{
    finish();
}

void SvgCanvas::finish()
{
    if (finished_)
        return;
    endLine();
    closeClip();
    flush();
    finished_ = true;
}

void SvgCanvas::put(const std::string& text)
{
    buffer_ += text;
    if (buffer_.size() >= blockSize)
        flush();
}

void SvgCanvas::flush()
{
    if (!buffer_.empty())
        out_.write(buffer_);
    buffer_.clear();
}

// A line is one polyline; its points go out as they come. A 1-pixel line
// runs along pixel centres, as on the image.
void SvgCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    if (lineOpen_ && (!(pen == linePen_) || !(from == lineEnd_)))
        endLine();
    if (!lineOpen_) {
        openClip();
        put("<polyline fill=\"none\" stroke=\"" + hexColour(pen.colour) + "\" stroke-width=\"" +
            number(pen.width) + "\" stroke-linecap=\"" + (pen.width > 1 ? "round" : "butt") +
            "\" stroke-linejoin=\"round\" transform=\"translate(0.5,0.5)\" points=\"");
        appendPoint(buffer_, from, true);
        lineOpen_ = true;
        linePen_ = pen;
    }
    appendPoint(buffer_, to);
    if (buffer_.size() >= blockSize)
        flush();
    lineEnd_ = to;
}

void SvgCanvas::endLine()
{
    if (lineOpen_)
        put("\"/>\n");
    lineOpen_ = false;
}

void SvgCanvas::rect(const DeviceRect& r, const std::string& paint)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    openClip();
    put("<rect x=\"" + number(r.left) + "\" y=\"" + number(r.top) + "\" width=\"" +
        number(static_cast<long long>(r.right) - r.left) + "\" height=\"" +
        number(static_cast<long long>(r.bottom) - r.top) + "\" " + paint + "/>\n");
}

void SvgCanvas::fill(const DeviceRect& r, Colour colour)
{
    endLine();
    rect(r, "fill=\"" + hexColour(colour) + '"');
}

void SvgCanvas::frame(const DeviceRect& r, Pen pen, Colour brush)
{
    endLine();
    rect(r, "fill=\"" + hexColour(brush) + '"');
    if (pen.width <= 0 || r.right <= r.left || r.bottom <= r.top)
        return;
    put("<rect x=\"" + number(r.left) + ".5\" y=\"" + number(r.top) + ".5\" width=\"" +
        number(static_cast<long long>(r.right) - r.left - 1) + "\" height=\"" +
        number(static_cast<long long>(r.bottom) - r.top - 1) + "\" fill=\"none\" stroke=\"" +
        hexColour(pen.colour) + "\" stroke-width=\"" + number(pen.width) + "\"/>\n");
}

void SvgCanvas::openClip()
{
    if (groupOpen_ && (!clipped_ || !(group_ == clip_)))
        closeClip();
    if (groupOpen_ || !clipped_)
        return;
    const std::string id = idPrefix_ + 'c' + number(++clipCount_);
    const DeviceRect& r = clip_;
    const long long width = std::max(0LL, static_cast<long long>(r.right) - r.left);
    const long long height = std::max(0LL, static_cast<long long>(r.bottom) - r.top);
    put("<clipPath id=\"" + id + "\"><rect x=\"" + number(r.left) + "\" y=\"" + number(r.top) +
        "\" width=\"" + number(width) + "\" height=\"" + number(height) +
        "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n");
    groupOpen_ = true;
    group_ = clip_;
}

void SvgCanvas::closeClip()
{
    if (groupOpen_)
        put("</g>\n");
    groupOpen_ = false;
}

void SvgCanvas::clip(const DeviceRect& r)
{
    endLine();
    clipped_ = true;
    clip_ = r;
}

void SvgCanvas::unclip()
{
    endLine();
    clipped_ = false;
}

void SvgCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
                     Colour background)
{
    endLine();
    const TextMetrics metrics = fonts_.fontMetrics(font);
    const long long width = fonts_.textWidth(text, font);
    rect({at.x, at.y, static_cast<int>(at.x + width), at.y + metrics.height},
         "fill=\"" + hexColour(background) + '"');
    openClip();
    const int size = font.height == 0 ? 12 : std::abs(font.height);
    put("<text x=\"" + number(at.x) + "\" y=\"" + number(static_cast<long long>(at.y) + metrics.ascent) +
        "\" font-family=\"" + xmlText(font.stockFixed ? "monospace" : font.face) + "\" font-size=\"" +
        number(size) + "px\"" + (font.weight >= 700 ? " font-weight=\"bold\"" : "") +
        (font.italic ? " font-style=\"italic\"" : "") + " fill=\"" + hexColour(colour) +
        "\" xml:space=\"preserve\">" + xmlText(text) + "</text>\n");
}
