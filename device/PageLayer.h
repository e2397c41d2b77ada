#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The layers of a vector page, in the order they stack, lowest first:
// the page's fills and frames; the lines to hidden samples, under every
// seen line; the underside, then the upper side over it; the frame box,
// the axes and the ticks, which the page draws over the surface; and its
// texts on top (the numbers of the ticks cover the lines under them).
enum class PageLayer : std::uint8_t {
    Page, HiddenLines, Underside, UpperSide, FrameBox, AxesAndTicks, Text,
};

constexpr std::size_t pageLayerCount = 7;

constexpr std::size_t indexOf(PageLayer layer) { return static_cast<std::size_t>(layer); }

// The layer's name as an editor shows it, and as a word for an element's
// id.
struct PageLayerName {
    std::string_view label, id;
};

constexpr std::array<PageLayerName, pageLayerCount> pageLayerNames = {{
    {"Page", "page"},
    {"Hidden lines", "hidden-lines"},
    {"Underside", "underside"},
    {"Upper side", "upper-side"},
    {"Frame box", "frame-box"},
    {"Axes and ticks", "axes-and-ticks"},
    {"Text", "text"},
}};

constexpr const PageLayerName& nameOf(PageLayer layer) { return pageLayerNames[indexOf(layer)]; }

static_assert(indexOf(PageLayer::Text) == pageLayerCount - 1);
