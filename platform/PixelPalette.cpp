#include "platform/PixelPalette.h"

#include <algorithm>
#include <cstring>

namespace {

// Colours to their index, open addressing in a table four times the
// palette, so that a probe rarely goes past its first slot.
class ColourTable {
public:
    // The colour's index, entered when new; -1 once there are too many.
    int indexOf(std::uint32_t colour, std::vector<std::uint32_t>& palette)
    {
        for (std::uint32_t slot = hash(colour);; slot = (slot + 1) & mask) {
            if (used_[slot] == 0) {
                if (palette.size() == 256)
                    return -1;
                used_[slot] = 1;
                colours_[slot] = colour;
                indices_[slot] = static_cast<std::uint8_t>(palette.size());
                palette.push_back(colour);
                return indices_[slot];
            }
            if (colours_[slot] == colour)
                return indices_[slot];
        }
    }

private:
    static constexpr std::uint32_t size = 1024;
    static constexpr std::uint32_t mask = size - 1;
    static std::uint32_t hash(std::uint32_t colour) { return (colour * 0x9E3779B1u) >> 22; }

    std::array<std::uint32_t, size> colours_{};
    std::array<std::uint8_t, size> indices_{};
    std::array<std::uint8_t, size> used_{};
};

// Whether the eight pixels from x on all have the colour.
bool eightOf(const std::uint32_t* row, int x, std::uint32_t colour)
{
    std::uint32_t differ = 0;
    for (int i = 0; i < 8; ++i)
        differ |= row[x + i] ^ colour;
    return differ == 0;
}

// One row; false when it brings the 257th colour. Most of a page is runs
// of one colour, taken eight pixels at a time.
bool indexRow(const std::uint32_t* row, int width, std::uint8_t* out, ColourTable& table,
              std::vector<std::uint32_t>& palette)
{
    std::uint32_t last = row[0];
    int index = table.indexOf(last, palette);
    for (int x = 0; x < width && index >= 0; x += 8) {
        const int end = std::min(x + 8, width);
        if (end == x + 8 && eightOf(row, x, last)) {
            std::memset(out + x, index, 8);
            continue;
        }
        for (int i = x; i < end; ++i) {
            if (row[i] != last) {
                last = row[i];
                index = table.indexOf(last, palette);
                if (index < 0)
                    return false;
            }
            out[i] = static_cast<std::uint8_t>(index);
        }
    }
    return index >= 0;
}

} // namespace

bool indexPixels(const PixelView& pixels, IndexedPixels& indexed)
{
    indexed.palette.clear();
    const auto width = static_cast<std::size_t>(std::max(pixels.width, 0));
    const auto height = static_cast<std::size_t>(std::max(pixels.height, 0));
    indexed.indices.resize(width * height);
    ColourTable table;
    const std::uint32_t* above = nullptr;
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels.pixels + static_cast<std::ptrdiff_t>(y) * pixels.stride;
        std::uint8_t* out = indexed.indices.data() + y * width;
        // A row like the one above (most rows of a page's margins and
        // panels) takes its indices.
        if (above != nullptr && std::memcmp(row, above, width * 4) == 0)
            std::memcpy(out, out - width, width);
        else if (!indexRow(row, static_cast<int>(width), out, table, indexed.palette))
            return false;
        above = row;
    }
    return true;
}
