// kelvo-render: draws the page that a click in the plot window draws,
// into a file, or prints it, without any window.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/SignalCleanup.h"
#include "render/ComposePage.h"
#include "sheets/SheetLookup.h"
#include "sheets/Sheets.h"
#include "tools/render/PrintPage.h"
#include "tools/render/RenderOptions.h"
#include "Version.h"

namespace {

constexpr int exitParseWarning = 1;
constexpr int exitFailure = 2;

// The sheets' defaults, changed by each --set (the names are known good).
Sheets sheetsOf(const RenderOptions& options)
{
    Sheets sheets;
    for (const auto& [name, value] : options.sets) {
        DataLine* line = findEntryLine(sheets, name);
        buildLine(*line, line->name, value.c_str());
    }
    return sheets;
}

struct PageResult {
    bool parseFailed = false;
};

// Composes the page on the window, reporting the parse warning on stderr.
PageResult drawPage(const Sheets& sheets, PaintDeviceWindow& window)
{
    PageResult result;
    SurfaceFunction surface(sheets.fdata);
    window.setPromptHandler([&](Prompt kind, const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n", caption.c_str(), text.c_str());
        if (kind == Prompt::ParseWarning) {
            std::fprintf(stderr, "  %s\n", surface.parser().diagnostic().c_str());
            result.parseFailed = true;
        }
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    });
    PlotDevice device(window);
    ViewAngles view;
    PageContext page{device, sheets, &surface, view, false};
    composePage(page, PageTarget::Screen);
    return result;
}

PageResult renderImage(const RenderOptions& o, const Sheets& sheets, QByteArray& bytes, bool record)
{
    QImage image(o.width, o.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    PaintDeviceWindow window(&image, o.width, o.height);
    window.setRecording(record);
    const PageResult result = drawPage(sheets, window);
    if (record) {
        bytes = QByteArray::fromStdString(trace(window.recordedCalls()));
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return result;
}

PageResult renderSvg(const RenderOptions& o, const Sheets& sheets, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(o.width, o.height));
    svg.setViewBox(QRect(0, 0, o.width, o.height));
    svg.setResolution(96);
    svg.setTitle("kelvo");
    PaintDeviceWindow window(&svg, o.width, o.height);
    return drawPage(sheets, window);
}

PageResult renderPdf(const RenderOptions& o, const Sheets& sheets, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(o.width * 72.0 / 96, o.height * 72.0 / 96), QPageSize::Point,
                              "kelvo", QPageSize::ExactMatch));
    pdf.setTitle("kelvo");
    PaintDeviceWindow window(&pdf, o.width, o.height);
    return drawPage(sheets, window);
}

int renderToFile(const RenderOptions& o, const Sheets& sheets)
{
    QSaveFile file(QString::fromStdString(o.output));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", o.output.c_str(),
                     file.errorString().toLocal8Bit().constData());
        return exitFailure;
    }
    QByteArray bytes;
    PageResult result;
    switch (o.format) {
    case OutputFormat::Png: result = renderImage(o, sheets, bytes, false); break;
    case OutputFormat::Calls: result = renderImage(o, sheets, bytes, true); break;
    case OutputFormat::Svg: result = renderSvg(o, sheets, bytes); break;
    case OutputFormat::Pdf: result = renderPdf(o, sheets, bytes); break;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", o.output.c_str(),
                     file.errorString().toLocal8Bit().constData());
        return exitFailure;
    }
    return result.parseFailed ? exitParseWarning : 0;
}

// Qt wants a private runtime directory; without an environment there is
// none, so the process makes a fresh one of its own (mkdtemp: a new name,
// mode 0700, never an existing path or a symlink) and removes it at exit.
class RuntimeDir {
public:
    RuntimeDir()
    {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        std::string name = QDir::tempPath().toStdString() + "/kelvo-runtime-XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            return;
        path_ = name;
        SignalCleanup::add(path_.c_str());
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(path_));
    }
    ~RuntimeDir()
    {
        if (path_.empty())
            return;
        SignalCleanup::remove(path_.c_str());
        QDir(QString::fromStdString(path_)).removeRecursively();
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

private:
    std::string path_;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "kelvo-render: %s\n%s", error.c_str(), renderUsage);
        return exitFailure;
    }
    if (options->help) {
        std::fputs(renderUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("kelvo-render %s\n", programVersion);
        return 0;
    }
    const Sheets sheets = sheetsOf(*options);

    // No window is ever shown: Qt serves only fonts, images and printing,
    // so no display is needed whatever the environment asks for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    SignalCleanup::install();
    const RuntimeDir runtimeDir;
    QGuiApplication app(argc, argv);
    if (options->print)
        return printPage(sheets, options->blackAndWhite);
    return renderToFile(*options, sheets);
}
