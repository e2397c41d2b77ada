#include "platform/PageFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "device/RecordingCanvas.h"
#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/PngEncoder.h"
#include "platform/HpglPage.h"
#include "platform/PdfPage.h"
#include "platform/ReplacingFile.h"
#include "platform/SvgPage.h"
#include "sheets/PlotSettings.h"

namespace {

// The page's bytes on their way to the file, in large blocks. The first
// block the system refuses is remembered with the system's reason (a full
// disk says so), and everything after it is refused too, so that a writer
// that does not look at its results still fails the page.
class CheckedOutput final : public QIODevice {
public:
    explicit CheckedOutput(ReplacingFile& file) : file_(file)
    {
        buffer_.reserve(blockSize);
        open(QIODevice::WriteOnly);
    }

    // Writes what is held; false once any write has failed.
    bool finish()
    {
        writeBlock();
        return cause_.empty();
    }
    const std::string& cause() const { return cause_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!cause_.empty())
            return -1;
        buffer_.append(data, static_cast<std::size_t>(size));
        if (buffer_.size() >= blockSize && !writeBlock())
            return -1;
        return size;
    }

private:
    static constexpr std::size_t blockSize = 1 << 16;

    bool writeBlock()
    {
        if (!cause_.empty() || buffer_.empty())
            return cause_.empty();
        if (!file_.write(buffer_.data(), buffer_.size()))
            cause_ = file_.error();
        buffer_.clear();
        return cause_.empty();
    }

    ReplacingFile& file_;
    std::string buffer_;
    std::string cause_;
};

// Writes each call's trace line to the file as it is drawn, in blocks,
// so that a page of any number of lines needs little memory.
class TraceWriter final : public CallSink {
public:
    explicit TraceWriter(QIODevice& out) : out_(out) { buffer_.reserve(blockSize + 256); }

    void take(const RecordedCall& call) override
    {
        buffer_ += traceLine(call);
        buffer_ += '\n';
        if (buffer_.size() >= blockSize)
            flush();
    }

    // False once a block could not be written; later blocks are dropped.
    bool flush()
    {
        if (ok_ && !buffer_.empty())
            ok_ = out_.write(buffer_.data(), static_cast<qint64>(buffer_.size())) ==
                  static_cast<qint64>(buffer_.size());
        buffer_.clear();
        return ok_;
    }

private:
    static constexpr std::size_t blockSize = 1 << 16;
    QIODevice& out_;
    std::string buffer_;
    bool ok_ = true;
};

// A vector page in layers measures its text on the canvas given, but a
// PDF page on its own.
template <class Page>
std::unique_ptr<Page> makePage(Canvas& fonts, int width, int height)
{
    return std::make_unique<Page>(fonts, width, height);
}

template <>
std::unique_ptr<PdfPage> makePage<PdfPage>(Canvas&, int width, int height)
{
    return std::make_unique<PdfPage>(width, height);
}

// The window of a vector page in layers (SvgPage, HpglPage, PdfPage): its
// layers are kept as they are drawn and written out when the picture
// ends; text is measured on a one-pixel image, or the page's own.
template <class Page>
class LayeredWindow final : public DeviceWindow {
public:
    LayeredWindow(QIODevice& out, int width, int height) : out_(out), width_(width), height_(height)
    {
    }

    DeviceRect clientRect() override { return {0, 0, width_, height_}; }
    Canvas* acquireCanvas() override
    {
        fonts_ = std::make_unique<QtCanvas>(&fontImage_);
        page_ = makePage<Page>(*fonts_, width_, height_);
        return &page_->canvas();
    }
    void releaseCanvas(Canvas*) override
    {
        written_ = page_->write(out_);
        error_ = page_->error();
        page_.reset();
        fonts_.reset();
    }
    // Whether the page was written whole; why not, when it was a layer
    // that could not be kept.
    bool written() const { return written_; }
    const std::string& error() const { return error_; }
    // A page drawn into a file asks nothing.
    PromptAnswer ask(Prompt kind, const std::string&, const std::string&) override
    {
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    }

private:
    QIODevice& out_;
    int width_, height_;
    QImage fontImage_{1, 1, QImage::Format_RGB32};
    std::unique_ptr<QtCanvas> fonts_;
    std::unique_ptr<Page> page_;
    bool written_ = false;
    std::string error_;
};

// Composes the page on the window, keeping the parse warning.
void drawPage(const PageRequest& request, DeviceWindow& window, PageFileResult& result)
{
    SurfaceFunction surface(request.sheets.fdata);
    PlotDevice device(window);
    const ViewAngles view = request.angles.value_or(sheetAngles(request.sheets.sdata));
    const PageReport report =
        composePage({device, request.sheets, &surface, view, nullptr, request.grid},
                    PageTarget::Screen);
    if (const auto& failure = report.parseFailure)
        result.parseWarning = ParseWarning{parseWarningCaption, failure->line, failure->diagnostic};
}

// Draws into image, made anew unless it has the page's size already;
// false when it cannot be had.
bool drawImage(const PageRequest& r, QImage& image, PageFileResult& result)
{
    if (image.size() != QSize(r.width, r.height) || image.format() != QImage::Format_RGB32)
        image = QImage(r.width, r.height, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    PaintDeviceWindow window(&image, r.width, r.height);
    drawPage(r, window, result);
    return true;
}

bool writePng(const PageRequest& r, QIODevice& out, PageFileResult& result)
{
    QImage image;
    return drawImage(r, image, result) && encodePng(image, out);
}

// The calls need no picture: the canvas under the recorder only answers
// for fonts, which an image of any size answers alike.
bool writeCalls(const PageRequest& r, QIODevice& out, PageFileResult& result)
{
    QImage fonts(1, 1, QImage::Format_RGB32);
    PaintDeviceWindow window(&fonts, r.width, r.height);
    TraceWriter writer(out);
    window.setCallSink(&writer);
    drawPage(r, window, result);
    return writer.flush();
}

// Keeps what is written, up to a bound: past it every write fails and
// nothing is kept, so a page too large to hold costs its drawing only.
class BoundedBuffer final : public QIODevice {
public:
    explicit BoundedBuffer(std::int64_t limit) : limit_(limit) { open(QIODevice::WriteOnly); }

    // Empty when the bound was passed.
    QByteArray take() { return std::exchange(bytes_, {}); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (overflowed_ || bytes_.size() + size > limit_) {
            overflowed_ = true;
            bytes_.clear();
            return -1;
        }
        bytes_.append(data, size);
        return size;
    }

private:
    std::int64_t limit_;
    QByteArray bytes_;
    bool overflowed_ = false;
};

template <class Page>
bool writeLayered(const PageRequest& r, QIODevice& out, PageFileResult& result)
{
    LayeredWindow<Page> window(out, r.width, r.height);
    drawPage(r, window, result);
    result.error = window.error();
    return window.written();
}

std::string meshWarningOf(MeshRefusal refusal, const PlotSettings& s)
{
    const std::string mesh =
        "n=" + std::to_string(s.n) + " m=" + std::to_string(s.m) + " k=" + std::to_string(s.k);
    switch (refusal) {
    case MeshRefusal::None: return {};
    case MeshRefusal::Negative:
        return "the surface is not drawn: n, m and k must not be negative (" + mesh + ")";
    case MeshRefusal::TooManyColumns:
        return "the surface is not drawn: k*(n+m)+1 passes the limit of " +
               std::to_string(maxHorizonColumns) + " horizon columns (" + mesh + ")";
    case MeshRefusal::TooManySamples:
        return "the surface is not drawn: the mesh passes the limit of " +
               std::to_string(maxSurfaceSamples) + " samples (" + mesh + ")";
    }
    return {};
}

// Pages whose output would pass the memory bound are refused before any
// drawing: a PNG's image is held whole, and a PDF's page content is held
// by the PDF writer until the page ends. Empty when the page fits.
std::string pageLimitError(PageFormat format, const PageRequest& r, const PlotSettings& s)
{
    const std::int64_t pixels = std::int64_t{r.width} * r.height;
    if (format == PageFormat::Png && pixels > maxPngPixels)
        return "a PNG page holds at most " + std::to_string(maxPngPixels) +
               " pixels (16384x8192); " + std::to_string(r.width) + "x" +
               std::to_string(r.height) + " has " + std::to_string(pixels);
    // In doubles, as the renderer counts them: the products pass 64 bits.
    const double n = s.n, m = s.m, k = s.k;
    const double samples = 2 * n * m * k + 2 * k * (n + m) + (n + m) + 2;
    if (format == PageFormat::Pdf && samples > static_cast<double>(maxPdfSamples))
        return "a PDF page holds a mesh of at most " + std::to_string(maxPdfSamples) +
               " samples (n=" + std::to_string(s.n) + " m=" + std::to_string(s.m) +
               " k=" + std::to_string(s.k) + " has more); write .png, .svg or .calls instead";
    return {};
}

// Writes the file at path with write, whole or not at all; result says
// whether it was written, or why not. write returns false when it could
// not draw its page.
template <class Write>
void saveFile(const std::string& path, PageFileResult& result, Write write)
{
    ReplacingFile file(path);
    if (!file.open()) {
        result.error = file.error();
        return;
    }
    CheckedOutput out(file);
    const bool drawn = write(out);
    const bool complete = out.finish();
    if (drawn && complete && file.commit()) {
        result.written = true;
        return;
    }
    if (!complete)
        result.error = out.cause();
    else if (!drawn && result.error.empty())
        result.error = "the page could not be drawn (not enough memory for its image)";
    else if (drawn)
        result.error = file.error();
}

} // namespace

std::optional<PageFormat> pageFormatOf(const std::string& path)
{
    std::string suffix = QFileInfo(QString::fromStdString(path)).suffix().toStdString();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "png")
        return PageFormat::Png;
    if (suffix == "svg")
        return PageFormat::Svg;
    if (suffix == "pdf")
        return PageFormat::Pdf;
    if (suffix == "hpgl")
        return PageFormat::Hpgl;
    if (suffix == "calls")
        return PageFormat::Calls;
    return std::nullopt;
}

PageFileResult writePageFile(const std::string& path, const PageRequest& request)
{
    PageFileResult result;
    const std::optional<PageFormat> format = pageFormatOf(path);
    if (!format) {
        result.error = "the extension must be .png, .svg, .pdf, .hpgl or .calls";
        return result;
    }
    const PlotSettings settings = readPlotSettings(request.sheets.sdata);
    result.error = pageLimitError(*format, request, settings);
    if (!result.error.empty())
        return result;
    result.meshRefusal = meshRefusal(settings.m, settings.n, settings.k);
    result.meshWarning = meshWarningOf(result.meshRefusal, settings);

    saveFile(path, result, [&](QIODevice& out) {
        switch (*format) {
        case PageFormat::Png: return writePng(request, out, result);
        case PageFormat::Calls: return writeCalls(request, out, result);
        case PageFormat::Svg: return writeLayered<SvgPage>(request, out, result);
        case PageFormat::Hpgl: return writeLayered<HpglPage>(request, out, result);
        case PageFormat::Pdf: return writeLayered<PdfPage>(request, out, result);
        }
        return false;
    });
    return result;
}

PageFileResult writePngFile(const std::string& path, const QImage& image)
{
    PageFileResult result;
    saveFile(path, result, [&](QIODevice& out) { return encodePng(image, out); });
    return result;
}

bool pngBytes(const QImage& image, QByteArray& bytes)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return encodePng(image, buffer);
}

PageFileResult writeFileBytes(const std::string& path, const QByteArray& bytes)
{
    PageFileResult result;
    saveFile(path, result, [&](QIODevice& out) {
        return out.write(bytes) == bytes.size();
    });
    return result;
}

PageFileResult drawPageImage(const PageRequest& request, QImage& image)
{
    PageFileResult result;
    const PlotSettings settings = readPlotSettings(request.sheets.sdata);
    result.error = pageLimitError(PageFormat::Png, request, settings);
    if (!result.error.empty())
        return result;
    result.meshRefusal = meshRefusal(settings.m, settings.n, settings.k);
    result.meshWarning = meshWarningOf(result.meshRefusal, settings);
    if (!drawImage(request, image, result)) {
        result.error = "the page could not be drawn (not enough memory for its image)";
        return result;
    }
    result.written = true;
    return result;
}

QImage pageImage(const PageRequest& request)
{
    if (std::int64_t{request.width} * request.height > maxPngPixels)
        return {};
    PageFileResult result;
    QImage image;
    drawImage(request, image, result);
    return image;
}

QByteArray pageSvg(const PageRequest& request, std::int64_t limit)
{
    BoundedBuffer out(limit);
    PageFileResult result;
    writeLayered<SvgPage>(request, out, result);
    return out.take();
}
