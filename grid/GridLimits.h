#pragma once
#include <cstddef>
#include <string>

// The most nodes a grid may have: 4096 x 4096, 128 MiB of heights, a
// quarter of the memory the renderer allows a page's heights.
constexpr std::size_t maxGridNodes = std::size_t{1} << 24;

// What a refusal says of a grid beyond that.
inline std::string tooManyHeights()
{
    return "more than " + std::to_string(maxGridNodes) +
           " heights: a grid holds at most 2^24 (4096 x 4096)";
}
