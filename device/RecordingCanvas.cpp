#include "device/RecordingCanvas.h"

#include <cstdio>

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

RecordedCall& RecordingCanvas::add(CallKind kind)
{
    RecordedCall& call = calls_.emplace_back();
    call.kind = kind;
    return call;
}

void RecordingCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    RecordedCall& call = add(CallKind::Line);
    call.from = from;
    call.to = to;
    call.colour = pen.colour;
    call.width = pen.width;
    inner_.segment(from, to, pen);
}

void RecordingCanvas::fill(const DeviceRect& rect, Colour colour)
{
    RecordedCall& call = add(CallKind::Fill);
    call.rect = rect;
    call.colour = colour;
    inner_.fill(rect, colour);
}

void RecordingCanvas::frame(const DeviceRect& rect, Pen pen, Colour brush)
{
    RecordedCall& call = add(CallKind::Frame);
    call.rect = rect;
    call.colour = pen.colour;
    call.width = pen.width;
    inner_.frame(rect, pen, brush);
}

void RecordingCanvas::clip(const DeviceRect& rect)
{
    add(CallKind::Clip).rect = rect;
    inner_.clip(rect);
}

void RecordingCanvas::unclip()
{
    add(CallKind::Unclip);
    inner_.unclip();
}

void RecordingCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font,
                           Colour colour, Colour background)
{
    RecordedCall& call = add(CallKind::Text);
    call.from = at;
    call.colour = colour;
    call.text = text;
    inner_.text(at, text, font, colour, background);
}
