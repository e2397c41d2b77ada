#include "device/RecordingCanvas.h"

#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace {

// A page's calls can run to millions of lines: each is written straight
// into the text it goes to, without strings of its own.
void appendNumber(std::string& out, int v)
{
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
}

void appendNumbers(std::string& out, std::initializer_list<int> values)
{
    for (const int* v = values.begin(); v != values.end(); ++v) {
        if (v != values.begin())
            out += ' ';
        appendNumber(out, *v);
    }
}

void appendRect(std::string& out, const DeviceRect& r)
{
    appendNumbers(out, {r.left, r.top, r.right, r.bottom});
}

void appendColour(std::string& out, Colour c)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    out += '#';
    for (const int part : {redOf(c), greenOf(c), blueOf(c)}) {
        out += hex[part >> 4];
        out += hex[part & 15];
    }
}

// The text in double quotes; quote, backslash and control bytes escaped.
void appendQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

std::string hexColour(Colour c)
{
    std::string text;
    appendColour(text, c);
    return text;
}

void appendTraceLine(std::string& out, const RecordedCall& c)
{
    switch (c.kind) {
    case CallKind::Line:
        out += "line ";
        appendNumbers(out, {c.from.x, c.from.y, c.to.x, c.to.y});
        out += ' ';
        appendColour(out, c.colour);
        out += ' ';
        appendNumber(out, c.width);
        return;
    case CallKind::Fill:
        out += "fill ";
        appendRect(out, c.rect);
        out += ' ';
        appendColour(out, c.colour);
        return;
    case CallKind::Frame:
        out += "frame ";
        appendRect(out, c.rect);
        out += ' ';
        appendColour(out, c.colour);
        out += ' ';
        appendNumber(out, c.width);
        return;
    case CallKind::Clip:
        out += "clip ";
        appendRect(out, c.rect);
        return;
    case CallKind::Unclip: out += "clip off"; return;
    case CallKind::Text:
        out += "text ";
        appendNumbers(out, {c.from.x, c.from.y});
        out += ' ';
        appendColour(out, c.colour);
        out += ' ';
        appendQuoted(out, c.text);
        return;
    }
}

std::string traceLine(const RecordedCall& call)
{
    std::string line;
    appendTraceLine(line, call);
    return line;
}

std::string trace(const std::vector<RecordedCall>& calls)
{
    std::string all;
    for (const RecordedCall& call : calls)
        all += traceLine(call) + '\n';
    return all;
}

void RecordingCanvas::keep(RecordedCall&& call)
{
    if (sink_ != nullptr)
        sink_->take(call);
    else
        calls_.push_back(std::move(call));
}

void RecordingCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    keep({CallKind::Line, from, to, {}, pen.colour, pen.width, {}});
    inner_.segment(from, to, pen);
}

void RecordingCanvas::polyline(std::span<const DevicePoint> points, Pen pen)
{
    for (std::size_t i = 1; i < points.size(); ++i)
        keep({CallKind::Line, points[i - 1], points[i], {}, pen.colour, pen.width, {}});
    inner_.polyline(points, pen);
}

void RecordingCanvas::fill(const DeviceRect& rect, Colour colour)
{
    keep({CallKind::Fill, {}, {}, rect, colour, 0, {}});
    inner_.fill(rect, colour);
}

void RecordingCanvas::frame(const DeviceRect& rect, Pen pen, Colour brush)
{
    keep({CallKind::Frame, {}, {}, rect, pen.colour, pen.width, {}});
    inner_.frame(rect, pen, brush);
}

void RecordingCanvas::clip(const DeviceRect& rect)
{
    keep({CallKind::Clip, {}, {}, rect, 0, 0, {}});
    inner_.clip(rect);
}

void RecordingCanvas::unclip()
{
    keep({CallKind::Unclip, {}, {}, {}, 0, 0, {}});
    inner_.unclip();
}

void RecordingCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font,
                           Colour colour, Colour background)
{
    keep({CallKind::Text, at, {}, {}, colour, 0, text});
    inner_.text(at, text, font, colour, background);
}
