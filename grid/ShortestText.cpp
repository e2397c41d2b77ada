#include "grid/ShortestText.h"

#include <charconv>

std::string shortestText(double value)
{
    if (value == 0)
        return "0";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return {text, result.ptr};
}
