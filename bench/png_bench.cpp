// PNG compression of a page: libpng's filter and zlib's level, against
// Qt's own PNG writer (every filter tried, level 6) in the same run. The
// counter "bytes" is the file's size.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <png.h>
#include <zlib.h>

#include "platform/PageFile.h"
#include "platform/PixelPalette.h"
#include "platform/PngEncoder.h"
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

std::size_t encode(const QImage& image, bool palette, const PngCompression& compression)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    encodePng(image, buffer, palette, compression);
    return static_cast<std::size_t>(data.size());
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

// Arguments: with a palette or not, the filter (PNG_FILTER_*), the level,
// zlib's strategy (Z_DEFAULT_STRATEGY 0, Z_RLE 3) and memory level.
void BM_Libpng(benchmark::State& state)
{
    const PngCompression compression{static_cast<int>(state.range(1)),
                                     static_cast<int>(state.range(2)),
                                     static_cast<int>(state.range(3)),
                                     static_cast<int>(state.range(4))};
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = encode(defaultPage(), state.range(0) != 0, compression);
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Libpng)
    ->ArgNames({"palette", "filter", "level", "strategy", "memory"})
    ->ArgsProduct({{0, 1}, {PNG_FILTER_NONE, PNG_FILTER_UP}, {1, 3, 6}, {Z_DEFAULT_STRATEGY, Z_RLE},
                   {6, 8}})
    ->Unit(benchmark::kMillisecond);

// The palette alone: the colours of the page and an index a pixel.
void BM_IndexPixels(benchmark::State& state)
{
    QImage page = defaultPage();
    const PixelView pixels{reinterpret_cast<std::uint32_t*>(page.bits()), page.bytesPerLine() / 4,
                           page.width(), page.height()};
    IndexedPixels indexed;
    for (auto _ : state)
        benchmark::DoNotOptimize(indexPixels(pixels, indexed));
    state.counters["colours"] = static_cast<double>(indexed.palette.size());
}
BENCHMARK(BM_IndexPixels)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
