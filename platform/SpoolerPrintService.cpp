#include "platform/SpoolerPrintService.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cups/cups.h>

#include "platform/QtCanvas.h"

namespace {

// One document for one printer: drawn by a high-resolution QPrinter with
// the printer's page into a PDF file, which goes to the spooler at the end.
class SpoolerPrintJob final : public PrintJob {
public:
    explicit SpoolerPrintJob(const QPrinterInfo& info)
        : printerName_(info.printerName().toStdString()), printer_(info, QPrinter::HighResolution)
    {
        const QPageLayout layout = printer_.pageLayout();
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageLayout(layout);
        printer_.setColorMode(QPrinter::Color);
        printer_.setDocName("kelvo");
        file_.setFileTemplate(QDir::tempPath() + "/kelvo-print-XXXXXX.pdf");
        if (file_.open())
            printer_.setOutputFileName(file_.fileName());
    }

    Canvas* canvas() override { return canvas_.get(); }
    int horzRes() const override { return paintRect().width(); }
    int vertRes() const override { return paintRect().height(); }

    bool startDoc() override
    {
        if (!file_.isOpen())
            return false;
        canvas_ = std::make_unique<QtCanvas>(&printer_);
        return true;
    }
    bool startPage() override { return true; }
    bool endPage() override { return true; }

    bool endDoc() override
    {
        const bool drawn = canvas_ != nullptr && canvas_->end();
        if (!drawn)
            return false;
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printerName_.c_str(),
                                       file_.fileName().toLocal8Bit().constData(), "kelvo", 0,
                                       nullptr);
        return job > 0;
    }

private:
    QRect paintRect() const
    {
        return printer_.pageLayout().paintRectPixels(printer_.resolution());
    }

    std::string printerName_;
    QPrinter printer_;
    QTemporaryFile file_;
    std::unique_ptr<QtCanvas> canvas_;
};

} // namespace

std::string SpoolerPrintService::defaultPrinter()
{
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::unique_ptr<PrintJob> SpoolerPrintService::open(const std::string& printerName)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull())
        return nullptr;
    return std::make_unique<SpoolerPrintJob>(info);
}
