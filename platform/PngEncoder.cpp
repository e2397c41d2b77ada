#include "platform/PngEncoder.h"

#include <QIODevice>
#include <csetjmp>

#include <png.h>

namespace {

void pngWrite(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<QIODevice*>(png_get_io_ptr(png))->write(reinterpret_cast<const char*>(data),
                                                         static_cast<qint64>(size));
}

void pngFlush(png_structp) {}

static_assert(PngCompression{}.filters == PNG_FILTER_UP);

} // namespace

// A page is line art: long runs of one colour, lines that repeat the row
// above. The Up filter predicts those rows well, and zlib's level 3 keeps
// them about as small as its default level does in well under half the
// time (bench/startup.sh measures it): 37 KB in 4 ms for the default
// page, where Qt's writer, which tries every filter at level 6, takes
// 20 ms for 26 KB. The pixels are the same either way. libpng reports a
// fault by a long jump back here, so nothing with a destructor lives in
// this function.
bool encodePng(const QImage& image, QIODevice& out, PngCompression compression)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                 static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, compression.filters);
    png_set_compression_level(png, compression.level);
    png_write_info(png, info);
    // RGB32 holds each pixel as the bytes B, G, R, 0xff.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}
