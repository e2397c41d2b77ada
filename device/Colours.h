#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// A colour as this program keeps it, one 32-bit value: red in the low
// byte, then green, then blue (the reverse of Qt's QRgb, which the Qt
// canvases convert to).
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b)
{
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xff); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xff); }

constexpr int penCount = 26;
constexpr int brushCount = 10;

// Pens and text colours. 1 to 7 are the dark twins of 9 to 15; 16 to 25
// repeat the brush colours.
constexpr std::array<Colour, penCount> PenColours = {
    rgb(0, 0, 0),       rgb(0, 0, 160),     rgb(0, 160, 0),     rgb(160, 0, 0),
    rgb(0, 160, 160),   rgb(160, 0, 160),   rgb(160, 160, 0),   rgb(160, 160, 160),
    rgb(255, 128, 0),   rgb(0, 0, 255),     rgb(0, 255, 0),     rgb(255, 0, 0),
    rgb(0, 255, 255),   rgb(255, 0, 255),   rgb(255, 255, 0),   rgb(255, 255, 255),
    rgb(0, 0, 0),       rgb(240, 255, 255), rgb(255, 230, 255), rgb(255, 230, 200),
    rgb(230, 255, 255), rgb(255, 255, 255), rgb(253, 254, 218), rgb(226, 253, 220),
    rgb(251, 255, 202), rgb(255, 200, 255),
};

// Background brushes and the text background: brush j is pen 16 + j.
constexpr std::array<Colour, brushCount> BrushColours = {
    PenColours[16], PenColours[17], PenColours[18], PenColours[19], PenColours[20],
    PenColours[21], PenColours[22], PenColours[23], PenColours[24], PenColours[25],
};

// The pens and text colours by name, as indices into PenColours. The
// user's pc and fc are indices too, read from the sheet as numbers.
enum class PenColour {
    Black, DarkBlue, DarkGreen, DarkRed, DarkCyan, DarkMagenta, DarkYellow, Grey,
    Orange, Blue, Green, Red, Cyan, Magenta, Yellow, White,
    // The brush colours again, black and white included.
    BrushBlack, PaleCyan, PalePink, PalePeach, PaleBlueCyan, BrushWhite, PaleYellow, PaleGreen,
    PaleLime, PaleMagenta,
};

// The background brushes by name, as indices into BrushColours.
enum class BrushColour {
    Black, PaleCyan, PalePink, PalePeach, PaleBlueCyan, White, PaleYellow, PaleGreen, PaleLime,
    PaleMagenta,
};

constexpr int indexOf(PenColour c) { return static_cast<int>(c); }
constexpr int indexOf(BrushColour c) { return static_cast<int>(c); }
constexpr Colour colourOf(PenColour c) { return PenColours[static_cast<std::size_t>(c)]; }
constexpr Colour colourOf(BrushColour c) { return BrushColours[static_cast<std::size_t>(c)]; }

static_assert(indexOf(PenColour::PaleMagenta) == penCount - 1);
static_assert(indexOf(BrushColour::PaleMagenta) == brushCount - 1);
static_assert(colourOf(PenColour::PaleYellow) == colourOf(BrushColour::PaleYellow));

constexpr bool isPenIndex(int i) { return i >= 0 && i < penCount; }

// The index of the pen whose colour is nearest the colour in RGB, the
// first of equals: a pen's own colour gives the first pen that has it.
constexpr int nearestPenIndex(Colour c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < penCount; ++i) {
        const Colour p = PenColours[static_cast<std::size_t>(i)];
        const long r = redOf(c) - redOf(p), g = greenOf(c) - greenOf(p), b = blueOf(c) - blueOf(p);
        const long distance = r * r + g * g + b * b;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

static_assert(nearestPenIndex(colourOf(PenColour::BrushBlack)) == indexOf(PenColour::Black));
static_assert(nearestPenIndex(rgb(250, 10, 240)) == indexOf(PenColour::Magenta));
constexpr bool isBrushIndex(int i) { return i >= 0 && i < brushCount; }

// The colour indices a picture works with: the background brush, the
// pen of frames and grids, the current pen and the text colour.
struct ColourIndices {
    int brush = 0, framePen = 0, pen = 0, text = 0;
};
