#include "platform/SpoolerPrintService.h"

#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdlib>
#include <cups/cups.h>

#include "platform/DocumentFile.h"
#include "platform/QtCanvas.h"

namespace {

// A new file in the temporary directory, private to this user.
int createTemporaryDocument(std::string& path)
{
    std::string name = QDir::tempPath().toStdString() + "/kelvo-print-XXXXXX.pdf";
    const int fd = mkstemps(name.data(), 4);
    if (fd >= 0)
        path = name;
    return fd;
}

bool submitToCups(const std::string& destination, const std::string& path)
{
    return cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.c_str(), path.c_str(), "kelvo", 0,
                          nullptr) > 0;
}

// The destination's default resolution as the spooler reports it; 0 when
// it reports none.
int destinationResolution(const std::string& destination)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.c_str(), nullptr);
    if (dest == nullptr)
        return 0;
    int dpi = 0;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t* attr =
                cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            ipp_res_t units;
            int y = 0;
            const int x = ippGetResolution(attr, 0, &y, &units);
            dpi = units == IPP_RES_PER_INCH ? x : static_cast<int>(x * 2.54 + 0.5);
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return dpi;
}

// One page for one destination: drawn with the destination's page layout
// into a PDF document, which goes to the spooler at the end only when it
// was written whole.
class SpoolerPrintJob final : public PrintJob {
public:
    SpoolerPrintJob(std::string destination, const QPageLayout& layout, int resolution,
                    std::unique_ptr<DocumentFile> file, const SpoolerPrintService::Routes& routes)
        : destination_(std::move(destination)), file_(std::move(file)), pdf_(file_.get()),
          routes_(routes)
    {
        pdf_.setResolution(resolution);
        pdf_.setPageLayout(layout);
        pdf_.setCreator("kelvo");
        pdf_.setTitle("kelvo");
        canvas_ = std::make_unique<QtCanvas>(&pdf_);
    }

    Canvas& canvas() override { return *canvas_; }

    PageSize pageSize() const override
    {
        const QRect area = pdf_.pageLayout().paintRectPixels(pdf_.resolution());
        return {area.width(), area.height()};
    }

    PrintOutcome finish() override
    {
        const bool ended = canvas_->end();
        if (!file_->commit("%%EOF") || !ended)
            return PrintOutcome::Incomplete;
        const bool taken = routes_.submit ? routes_.submit(destination_, file_->path())
                                          : submitToCups(destination_, file_->path());
        return taken ? PrintOutcome::Spooled : PrintOutcome::Refused;
    }

private:
    std::string destination_;
    std::unique_ptr<DocumentFile> file_;
    QPdfWriter pdf_;
    SpoolerPrintService::Routes routes_;
    std::unique_ptr<QtCanvas> canvas_;
};

} // namespace

bool SpoolerPrintService::reachable()
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    if (http == nullptr)
        return false;
    httpClose(http);
    return true;
}

std::string SpoolerPrintService::defaultDestination()
{
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::unique_ptr<PrintJob> SpoolerPrintService::open(const std::string& destination)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(destination));
    if (info.isNull())
        return nullptr;
    const int reported = routes_.resolution ? routes_.resolution(destination)
                                            : destinationResolution(destination);
    const QPageLayout layout = QPrinter(info, QPrinter::HighResolution).pageLayout();
    std::string path;
    const int fd = routes_.createDocument ? routes_.createDocument(path) : createTemporaryDocument(path);
    if (fd < 0)
        return nullptr;
    return std::make_unique<SpoolerPrintJob>(destination, layout,
                                             reported > 0 ? reported : fallbackResolution,
                                             std::make_unique<DocumentFile>(fd, path), routes_);
}
