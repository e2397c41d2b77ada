#pragma once
#include <functional>
#include <string>

#include "device/PrintService.h"

// The system's print spooler (CUPS): the default destination as Qt knows
// it from the spooler (PRINTER or LPDEST name it for one process), and
// documents sent to it as PDF files, written completely before they are
// handed over, at the destination's resolution (600 dpi when it reports
// none).
class SpoolerPrintService final : public PrintService {
public:
    // Where a document is written, at what resolution, and how it reaches
    // the spooler; each left empty is the real one. createDocument makes a
    // file, returns its descriptor (negative on failure) and sets path;
    // resolution is the destination's dots per inch, 0 when it reports
    // none; submit hands the finished file to the destination and says
    // whether it was taken.
    struct Routes {
        std::function<int(std::string& path)> createDocument;
        std::function<int(const std::string& destination)> resolution;
        std::function<bool(const std::string& destination, const std::string& path)> submit;
    };

    SpoolerPrintService() = default;
    explicit SpoolerPrintService(Routes routes) : routes_(std::move(routes)) {}

    bool reachable() override;
    std::string defaultDestination() override;
    std::unique_ptr<PrintJob> open(const std::string& destination) override;

    static constexpr int fallbackResolution = 600;

private:
    Routes routes_;
};
