#include "platform/PageFile.h"

#include <QBuffer>
#include <QImage>
#include <memory>
#include <utility>

#include "pages/FileOutput.h"
#include "pages/LayeredWindow.h"
#include "pages/PageDrawing.h"
#include "pages/VectorPageFile.h"
#include "platform/HugePages.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/PdfPage.h"
#include "platform/PngEncoder.h"
#include "platform/QtCanvas.h"
#include "platform/SinkDevice.h"

namespace {

// Text measured by Qt, as on the page's own image: an image of any size
// answers alike.
class QtFonts {
public:
    Canvas& canvas() { return canvas_; }

private:
    QImage image_{1, 1, QImage::Format_RGB32};
    QtCanvas canvas_{&image_};
};

// A page's image: RGB32 pixels, most of a PNG page's memory, in huge
// pages where there are. Null when there is no memory for it.
QImage pageImageOf(int width, int height)
{
    auto pixels = bytesInHugePages(std::size_t(width) * std::size_t(height) * 4);
    if (pixels == nullptr)
        return {};
    uchar* held = pixels.release();
    return QImage(held, width, height, qsizetype{width} * 4, QImage::Format_RGB32,
                  [](void* bytes) { FreeHeld()(bytes); }, held);
}

// Draws into image, made anew unless it has the page's size already;
// false when it cannot be had.
bool drawImage(const PageRequest& r, QImage& image, PageFileResult& result)
{
    if (image.size() != QSize(r.width, r.height) || image.format() != QImage::Format_RGB32)
        image = pageImageOf(r.width, r.height);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    PaintDeviceWindow window(&image, r.width, r.height);
    drawPage(r, window, result);
    return true;
}

bool writePng(const PageRequest& r, ByteSink& out, PageFileResult& result)
{
    QImage image;
    SinkDevice device(out);
    return drawImage(r, image, result) && encodePng(image, device);
}

// A PDF page measures its text on its own Qt canvases.
bool writePdf(const PageRequest& r, ByteSink& out, PageFileResult& result)
{
    LayeredWindow<PdfPage> window([&] { return std::make_unique<PdfPage>(r.width, r.height); },
                                  out, r.width, r.height);
    drawPage(r, window, result);
    result.error = window.error();
    return window.written();
}

// Keeps what is written, up to a bound: past it every write fails and
// nothing is kept, so a page too large to hold costs its drawing only.
class BoundedBuffer final : public ByteSink {
public:
    explicit BoundedBuffer(std::int64_t limit) : limit_(limit) {}

    bool write(const char* data, std::size_t size) override
    {
        if (overflowed_ || bytes_.size() + static_cast<std::int64_t>(size) > limit_) {
            overflowed_ = true;
            bytes_.clear();
            return false;
        }
        bytes_.append(data, static_cast<qsizetype>(size));
        return true;
    }
    // Empty when the bound was passed.
    QByteArray take() { return std::exchange(bytes_, {}); }

private:
    std::int64_t limit_;
    QByteArray bytes_;
    bool overflowed_ = false;
};

} // namespace

PageFileResult writePageFile(const std::string& path, const PageRequest& request)
{
    const std::optional<PageFormat> format = pageFormatOf(path);
    if (!format) {
        PageFileResult result;
        result.error = "the extension must be .png, .svg, .pdf, .hpgl or .calls";
        return result;
    }
    if (isVectorFormat(*format)) {
        QtFonts fonts;
        return writeVectorPageFile(path, *format, request, fonts.canvas());
    }
    PageFileResult result = pageResultBefore(*format, request);
    if (!result.error.empty())
        return result;
    saveFile(path, result, [&](ByteSink& out) {
        return *format == PageFormat::Png ? writePng(request, out, result)
                                          : writePdf(request, out, result);
    });
    return result;
}

PageFileResult writePngFile(const std::string& path, const QImage& image)
{
    PageFileResult result;
    saveFile(path, result, [&](ByteSink& out) {
        SinkDevice device(out);
        return encodePng(image, device);
    });
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
    saveFile(path, result, [&](ByteSink& out) {
        return out.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    });
    return result;
}

PageFileResult drawPageImage(const PageRequest& request, QImage& image)
{
    PageFileResult result = pageResultBefore(PageFormat::Png, request);
    if (!result.error.empty())
        return result;
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
    QtFonts fonts;
    writeVectorPage(PageFormat::Svg, request, fonts.canvas(), out, result);
    return out.take();
}
