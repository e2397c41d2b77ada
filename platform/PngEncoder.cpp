#include "platform/PngEncoder.h"

#include <QIODevice>
#include <csetjmp>

#include <png.h>
#include <zlib.h>

#include "platform/PixelPalette.h"

namespace {

void pngWrite(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<QIODevice*>(png_get_io_ptr(png))->write(reinterpret_cast<const char*>(data),
                                                         static_cast<qint64>(size));
}

void pngFlush(png_structp) {}

static_assert(palettePng.filters == PNG_FILTER_NONE && palettePng.strategy == Z_RLE);
static_assert(rgbPng.filters == PNG_FILTER_UP && rgbPng.strategy == Z_DEFAULT_STRATEGY);

void setPalette(png_structp png, png_infop info, const IndexedPixels& indexed)
{
    png_color colours[256];
    int count = 0;
    for (const std::uint32_t c : indexed.palette)
        colours[count++] = {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                            static_cast<png_byte>(c)};
    png_set_PLTE(png, info, colours, count);
}

// The image's rows, or its indices when indexed is given. libpng reports
// a fault by a long jump back here, so nothing with a destructor lives in
// this function.
bool writePng(const QImage& image, const IndexedPixels* indexed, QIODevice& out,
              const PngCompression& compression)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const auto width = static_cast<png_uint_32>(image.width());
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, width, static_cast<png_uint_32>(image.height()), 8,
                 indexed != nullptr ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (indexed != nullptr) {
        setPalette(png, info, *indexed);
        // Every index is in the palette by its making: libpng need not
        // look at each byte again.
        png_set_check_for_invalid_index(png, 0);
    }
    png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                 static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, compression.filters);
    png_set_compression_level(png, compression.level);
    png_set_compression_strategy(png, compression.strategy);
    png_set_compression_mem_level(png, compression.memLevel);
    png_write_info(png, info);
    if (indexed != nullptr) {
        for (int y = 0; y < image.height(); ++y)
            png_write_row(png, indexed->indices.data() + static_cast<std::size_t>(y) * width);
    } else {
        // RGB32 holds each pixel as the bytes B, G, R, 0xff.
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        for (int y = 0; y < image.height(); ++y)
            png_write_row(png, image.constScanLine(y));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The image's pixels, only read.
PixelView pixelsOf(const QImage& image)
{
    return {reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image.constBits())),
            image.bytesPerLine() / 4, image.width(), image.height()};
}

} // namespace

bool encodePng(const QImage& image, QIODevice& out, bool palette, const PngCompression& compression)
{
    IndexedPixels indexed;
    const bool paletted = palette && indexPixels(pixelsOf(image), indexed);
    return writePng(image, paletted ? &indexed : nullptr, out, compression);
}

// The palette is tried first: a page that has more than 256 colours
// passes the 257th in a fraction of the indexing's time.
bool encodePng(const QImage& image, QIODevice& out)
{
    IndexedPixels indexed;
    if (indexPixels(pixelsOf(image), indexed))
        return writePng(image, &indexed, out, palettePng);
    return writePng(image, nullptr, out, rgbPng);
}
