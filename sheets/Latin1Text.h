#pragma once
#include <optional>
#include <string>
#include <string_view>

// Sheet texts are bytes, each shown as its Latin-1 character; files hold
// them as UTF-8. These convert between the two.

// The UTF-8 text of Latin-1 bytes. Every byte has its character.
std::string utf8FromLatin1(std::string_view bytes);

// Where UTF-8 text stops being such: the offset of the first byte of the
// first malformed, overlong or surrogate sequence, or none when it is all
// well formed.
std::optional<std::size_t> firstNonUtf8Byte(std::string_view text);

// The code points of well-formed UTF-8 text, each with the offset it
// starts at; call only on text that firstNonUtf8Byte passes.
struct CodePoint {
    char32_t value;
    std::size_t offset;
    std::size_t length;
};
CodePoint codePointAt(std::string_view text, std::size_t offset);
