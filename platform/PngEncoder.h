#pragma once
#include <QImage>

class QIODevice;

// How a page's PNG is compressed: libpng's row filters (PNG_FILTER_UP,
// PNG_ALL_FILTERS, ...) and zlib's level. The defaults are the pages'.
struct PngCompression {
    int filters = 0x20; // PNG_FILTER_UP
    int level = 3;
};

// Writes an RGB32 image as a PNG to out; false when libpng fails.
bool encodePng(const QImage& image, QIODevice& out, PngCompression compression = {});
