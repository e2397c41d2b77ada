#include "tools/render/FramePattern.h"

#include <charconv>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<FramePattern> FramePattern::parse(const std::string& text, std::string& error)
{
    FramePattern pattern;
    std::string* part = &pattern.head_;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *part += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            *part += '%';
            ++i;
            continue;
        }
        // %[0][width]d
        std::size_t at = i + 1;
        const bool zeros = at < text.size() && text[at] == '0';
        at += zeros ? 1 : 0;
        const std::size_t digits = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        if (at >= text.size() || text[at] != 'd') {
            error = "-o takes one field for the frame's number, such as %03d, and %% for a "
                    "percent sign: \"" + text + "\"";
            return std::nullopt;
        }
        int width = 0;
        if (at - digits > 2)
            width = widestField + 1;
        else if (at > digits)
            std::from_chars(text.data() + digits, text.data() + at, width);
        if (width > widestField) {
            error = "-o: a field is at most " + std::to_string(widestField) + " wide: \"" + text + "\"";
            return std::nullopt;
        }
        if (pattern.hasField_) {
            error = "-o takes one field for the frame's number, not two: \"" + text + "\"";
            return std::nullopt;
        }
        pattern.hasField_ = true;
        pattern.zeros_ = zeros;
        pattern.width_ = width;
        part = &pattern.tail_;
        i = at;
    }
    return pattern;
}

std::string FramePattern::fileName(int frame) const
{
    if (!hasField_)
        return head_;
    std::string number = std::to_string(frame);
    const std::size_t width = static_cast<std::size_t>(width_);
    if (number.size() < width)
        number.insert(0, width - number.size(), zeros_ ? '0' : ' ');
    return head_ + number + tail_;
}
