#include "platform/PdfPage.h"

#include <QDir>
#include <QPageSize>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

#include "pages/PrivatePrograms.h"

namespace {

// Joining the layers of the largest page PDF pages allow takes seconds;
// a program that has not ended in ten minutes never will.
constexpr int joinTimeoutMs = 600'000;

QString layersProgram()
{
    return QString::fromStdString(privateProgram("kelvo-pdf-layers"));
}

void setUpPage(QPdfWriter& pdf, int width, int height)
{
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(width * 72.0 / 96, height * 72.0 / 96), QPageSize::Point,
                              "kelvo", QPageSize::ExactMatch));
    pdf.setTitle("kelvo");
}

} // namespace

PdfPage::PdfPage(int width, int height)
{
    LayerSplitCanvas::Layers canvases{};
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        Layer& layer = layers_[i];
        layer.file = SpillBuffer::named(error_);
        if (layer.file == nullptr)
            layer.file = std::make_unique<SpillBuffer>();
        layer.device = std::make_unique<SinkDevice>(*layer.file);
        layer.writer = std::make_unique<QPdfWriter>(layer.device.get());
        setUpPage(*layer.writer, width, height);
        layer.canvas = std::make_unique<QtCanvas>(layer.writer.get());
        canvases[i] = layer.canvas.get();
    }
    split_ = std::make_unique<LayerSplitCanvas>(canvases);
}

PdfPage::~PdfPage() = default;

bool PdfPage::write(ByteSink& out)
{
    for (Layer& layer : layers_) {
        const bool ended = layer.canvas->end();
        if (error_.empty())
            error_ = layer.file->error();
        if (error_.empty() && !ended)
            error_ = "Qt's PDF writer could not end a layer";
    }
    if (!error_.empty())
        return false;
    QTemporaryFile joined(QDir::tempPath() + "/kelvo-page-XXXXXX.pdf");
    if (!joined.open()) {
        error_ = "cannot make a temporary file in " + QDir::tempPath().toStdString() + ": " +
                 joined.errorString().toStdString();
        return false;
    }
    if (!joinLayers(joined.fileName()))
        return false;
    // The program wrote the file anew under its name; this handle reads
    // what is there now.
    joined.close();
    if (!joined.open()) {
        error_ = "cannot read the joined layers back: " + joined.errorString().toStdString();
        return false;
    }
    while (!joined.atEnd()) {
        const QByteArray block = joined.read(qint64{1} << 16);
        if (block.isEmpty() || !out.write(block.constData(), static_cast<std::size_t>(block.size())))
            return false;
    }
    return true;
}

// The layers drawn on, in their order; the page's always, so that an
// empty page is a page.
bool PdfPage::joinLayers(const QString& output)
{
    QStringList arguments{output};
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        const auto layer = static_cast<PageLayer>(i);
        if (layer != PageLayer::Page && !split_->drawnOn(layer))
            continue;
        arguments << QString::fromUtf8(nameOf(layer).label.data(),
                                       static_cast<qsizetype>(nameOf(layer).label.size()))
                  << QString::fromStdString(layers_[i].file->fileName());
    }
    const QString program = layersProgram();
    QProcess join;
    join.setProcessChannelMode(QProcess::SeparateChannels);
    join.start(program, arguments);
    if (!join.waitForStarted()) {
        error_ = "cannot start " + program.toStdString() + ": " + join.errorString().toStdString();
        return false;
    }
    if (!join.waitForFinished(joinTimeoutMs)) {
        join.kill();
        join.waitForFinished();
        error_ = program.toStdString() + " did not end";
        return false;
    }
    if (join.exitStatus() != QProcess::NormalExit || join.exitCode() != 0) {
        error_ = QString::fromLocal8Bit(join.readAllStandardError()).trimmed().toStdString();
        if (error_.empty())
            error_ = program.toStdString() + " failed";
        return false;
    }
    return true;
}
