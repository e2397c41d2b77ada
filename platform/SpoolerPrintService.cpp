#include "platform/SpoolerPrintService.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cups/cups.h>

#include "platform/QtCanvas.h"

namespace {

// One page for one destination: drawn by a high-resolution QPrinter with
// the destination's page into a PDF file, which goes to the spooler at
// the end.
class SpoolerPrintJob final : public PrintJob {
public:
    explicit SpoolerPrintJob(const QPrinterInfo& info)
        : destination_(info.printerName().toStdString()), printer_(info, QPrinter::HighResolution)
    {
        const QPageLayout layout = printer_.pageLayout();
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageLayout(layout);
        printer_.setColorMode(QPrinter::Color);
        printer_.setDocName("kelvo");
        file_.setFileTemplate(QDir::tempPath() + "/kelvo-print-XXXXXX.pdf");
    }

    // Opens the file and starts painting on the page; false when the file
    // cannot be made.
    bool start()
    {
        if (!file_.open())
            return false;
        printer_.setOutputFileName(file_.fileName());
        canvas_ = std::make_unique<QtCanvas>(&printer_);
        return true;
    }

    Canvas& canvas() override { return *canvas_; }

    PageSize pageSize() const override
    {
        const QRect area = printer_.pageLayout().paintRectPixels(printer_.resolution());
        return {area.width(), area.height()};
    }

    bool finish() override
    {
        if (!canvas_->end())
            return false;
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination_.c_str(),
                                       file_.fileName().toLocal8Bit().constData(), "kelvo", 0,
                                       nullptr);
        return job > 0;
    }

private:
    std::string destination_;
    QPrinter printer_;
    QTemporaryFile file_;
    std::unique_ptr<QtCanvas> canvas_;
};

} // namespace

std::string SpoolerPrintService::defaultDestination()
{
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::unique_ptr<PrintJob> SpoolerPrintService::open(const std::string& destination)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(destination));
    if (info.isNull())
        return nullptr;
    auto job = std::make_unique<SpoolerPrintJob>(info);
    if (!job->start())
        return nullptr;
    return job;
}
