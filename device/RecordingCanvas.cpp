#include "device/RecordingCanvas.h"

#include <cstdio>

std::string RecordingCanvas::hex(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return text;
}

namespace {

std::string rectText(const DeviceRect& r)
{
    return std::to_string(r.left) + ' ' + std::to_string(r.top) + ' ' + std::to_string(r.right) +
           ' ' + std::to_string(r.bottom);
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

std::string RecordingCanvas::trace() const
{
    std::string all;
    for (const std::string& call : calls_)
        all += call + '\n';
    return all;
}

void RecordingCanvas::setPen(Colour colour, int width)
{
    pen_ = colour;
    penWidth_ = width;
    inner_.setPen(colour, width);
}

void RecordingCanvas::fillRect(const DeviceRect& rect, Colour colour)
{
    calls_.push_back("fill " + rectText(rect) + ' ' + hex(colour));
    inner_.fillRect(rect, colour);
}

void RecordingCanvas::rectangle(const DeviceRect& rect)
{
    calls_.push_back("frame " + rectText(rect) + ' ' + hex(pen_) + ' ' + std::to_string(penWidth_));
    inner_.rectangle(rect);
}

void RecordingCanvas::setClip(const DeviceRect& rect)
{
    calls_.push_back("clip " + rectText(rect));
    inner_.setClip(rect);
}

void RecordingCanvas::clearClip()
{
    calls_.push_back("clip off");
    inner_.clearClip();
}

void RecordingCanvas::moveTo(int x, int y)
{
    x_ = x;
    y_ = y;
    inner_.moveTo(x, y);
}

void RecordingCanvas::lineTo(int x, int y)
{
    calls_.push_back("line " + std::to_string(x_) + ' ' + std::to_string(y_) + ' ' +
                     std::to_string(x) + ' ' + std::to_string(y) + ' ' + hex(pen_) + ' ' +
                     std::to_string(penWidth_));
    x_ = x;
    y_ = y;
    inner_.lineTo(x, y);
}

void RecordingCanvas::setTextColour(Colour colour)
{
    textColour_ = colour;
    inner_.setTextColour(colour);
}

void RecordingCanvas::textOut(int x, int y, const std::string& text)
{
    calls_.push_back("text " + std::to_string(x) + ' ' + std::to_string(y) + ' ' + hex(textColour_) +
                     ' ' + quoted(text));
    inner_.textOut(x, y, text);
}
