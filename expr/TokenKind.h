#pragma once
#include <cstdint>

// Token kinds; Plus to Caret double as the operator codes of BinaryNode.
enum class TokenKind : std::int32_t {
    Bad = 0,
    End = 1,
    Name = 2,
    Number = 3,
    Plus = 4,
    Minus = 5,
    Star = 6,
    Slash = 7,
    Caret = 8,
    LeftParen = 9,
    RightParen = 10,
    Bar = 11,
};
