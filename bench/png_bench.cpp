// PNG compression of a page: libpng's filter and zlib's level, against
// Qt's own PNG writer (every filter tried, level 6) in the same run. The
// counter "bytes" is the file's size.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <vector>

#include <png.h>

#include "platform/PageFile.h"
#include "sheets/Sheets.h"

namespace {

const QImage& defaultPage()
{
    static const QImage page = [] {
        Sheets sheets;
        QImage image;
        drawPageImage(PageRequest{sheets, 800, 600, {}}, image);
        return image;
    }();
    return page;
}

void append(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

std::size_t encode(const QImage& image, int filter, int level)
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filter);
    png_set_compression_level(png, level);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out.size();
}

void BM_QtWriter(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(defaultPage());
        bytes = static_cast<std::size_t>(data.size());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_QtWriter)->Unit(benchmark::kMillisecond);

// Arguments: the filter (PNG_FILTER_*) and the level.
void BM_Libpng(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = encode(defaultPage(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Libpng)
    ->ArgNames({"filter", "level"})
    ->ArgsProduct({{PNG_ALL_FILTERS, PNG_FILTER_SUB, PNG_FILTER_UP}, {1, 3, 6}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
