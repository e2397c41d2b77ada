#include "platform/PdfPage.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

namespace {

// Joining the layers of the largest page PDF pages allow takes seconds;
// a program that has not ended in ten minutes never will.
constexpr int joinTimeoutMs = 600'000;

// The joining program's place is fixed relative to this program's, in
// the build tree as in the installed one.
QString layersProgram()
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(self).absolutePath() + '/' + QStringLiteral(KELVO_PDF_LAYERS_HELPER);
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
        layer.writer = std::make_unique<QPdfWriter>(layer.file.get());
        setUpPage(*layer.writer, width, height);
        layer.canvas = std::make_unique<QtCanvas>(layer.writer.get());
        canvases[i] = layer.canvas.get();
    }
    split_ = std::make_unique<LayerSplitCanvas>(canvases);
}

PdfPage::~PdfPage() = default;

bool PdfPage::write(QIODevice& out)
{
    for (Layer& layer : layers_) {
        const bool ended = layer.canvas->end();
        if (error_.empty() && !layer.file->sync())
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
        if (block.isEmpty() || out.write(block) != block.size())
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
                  << layers_[i].file->fileName();
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
