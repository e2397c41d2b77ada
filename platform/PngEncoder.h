#pragma once
#include <QImage>

class QIODevice;

// How a PNG is compressed: libpng's row filters (PNG_FILTER_NONE,
// PNG_FILTER_UP, PNG_ALL_FILTERS, ...), zlib's level, its strategy
// (Z_DEFAULT_STRATEGY, Z_RLE, ...) and its memory level.
struct PngCompression {
    int filters = 0;
    int level = 0;
    int strategy = 0;
    int memLevel = 8;
};

// The pages' choices, measured by bench/png_bench on the default page in
// instructions (callgrind), which a busy machine does not disturb.
// With a palette, a byte a pixel in long runs of one colour: zlib's
// run-length strategy without a filter, at memory level 6, whose smaller
// tables zlib slides less often and whose blocks fit a page's parts:
// 22.8 KB in 16 M instructions, where the Up filter takes 18.3 M for
// 20.4 KB, and at level 3 21 M for 21.3 KB. Without a palette, three bytes a
// pixel: the Up filter at level 3, 37 KB in 53 M instructions (Qt's own
// writer: 26 KB in three times the time).
constexpr PngCompression palettePng{0x08 /* PNG_FILTER_NONE */, 1, 3 /* Z_RLE */, 6};
constexpr PngCompression rgbPng{0x20 /* PNG_FILTER_UP */, 3, 0 /* Z_DEFAULT_STRATEGY */, 8};

// Writes an RGB32 image as a PNG to out, with a palette when it has at
// most 256 colours (the same pixels either way); false when libpng fails.
bool encodePng(const QImage& image, QIODevice& out);
// As encodePng, with a palette only when asked, compressed as given.
bool encodePng(const QImage& image, QIODevice& out, bool palette, const PngCompression& compression);
