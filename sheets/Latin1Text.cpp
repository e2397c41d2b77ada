#include "sheets/Latin1Text.h"

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts, 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The smallest value a sequence of each length may carry: anything less
// is overlong.
constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};

} // namespace

std::string utf8FromLatin1(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

CodePoint codePointAt(std::string_view text, std::size_t offset)
{
    const auto lead = static_cast<unsigned char>(text[offset]);
    const std::size_t length = sequenceLength(lead);
    if (length <= 1)
        return {lead, offset, 1};
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (static_cast<unsigned char>(text[offset + i]) & 0x3F);
    return {value, offset, length};
}

std::optional<std::size_t> firstNonUtf8Byte(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || text.size() - i < length)
            return i;
        for (std::size_t k = 1; k < length; ++k)
            if (!isContinuation(static_cast<unsigned char>(text[i + k])))
                return i;
        const char32_t value = codePointAt(text, i).value;
        if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return i;
        i += length;
    }
    return std::nullopt;
}
