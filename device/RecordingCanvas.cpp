#include "device/RecordingCanvas.h"

#include <cstdio>
#include <utility>

std::string hexColour(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return text;
}

namespace {

std::string numbers(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values) {
        if (!out.empty())
            out += ' ';
        out += std::to_string(v);
    }
    return out;
}

std::string rectText(const DeviceRect& r)
{
    return numbers({r.left, r.top, r.right, r.bottom});
}

// The text in double quotes; quote, backslash and control bytes escaped.
std::string quoted(const std::string& text)
{
    std::string out = "\"";
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
    return out + '"';
}

} // namespace

std::string traceLine(const RecordedCall& c)
{
    switch (c.kind) {
    case CallKind::Line:
        return "line " + numbers({c.from.x, c.from.y, c.to.x, c.to.y}) + ' ' + hexColour(c.colour) +
               ' ' + std::to_string(c.width);
    case CallKind::Fill: return "fill " + rectText(c.rect) + ' ' + hexColour(c.colour);
    case CallKind::Frame:
        return "frame " + rectText(c.rect) + ' ' + hexColour(c.colour) + ' ' + std::to_string(c.width);
    case CallKind::Clip: return "clip " + rectText(c.rect);
    case CallKind::Unclip: return "clip off";
    case CallKind::Text:
        return "text " + numbers({c.from.x, c.from.y}) + ' ' + hexColour(c.colour) + ' ' + quoted(c.text);
    }
    return {};
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
