// PNG compression of a page: libpng's filter and zlib's level, against
// Qt's own PNG writer (every filter tried, level 6) in the same run. The
// counter "bytes" is the file's size.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <png.h>

#include "platform/PageFile.h"
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

std::size_t encode(const QImage& image, int filter, int level)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    encodePng(image, buffer, {filter, level});
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
