#pragma once
#include "device/PrintService.h"

// The system's print spooler (CUPS): the default destination as Qt knows
// it from the spooler (PRINTER or LPDEST name it for one process), and
// documents sent to it as PDF, so that the spooler's answer to the job is
// known.
class SpoolerPrintService final : public PrintService {
public:
    std::string defaultDestination() override;
    std::unique_ptr<PrintJob> open(const std::string& destination) override;
};
