#pragma once
#include <memory>
#include <string>

#include "device/Canvas.h"

// A printer's context with its one document.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual Canvas* canvas() = 0;
    // The printable area in printer dots.
    virtual int horzRes() const = 0;
    virtual int vertRes() const = 0;
    virtual bool startDoc() = 0;
    virtual bool startPage() = 0;
    virtual bool endPage() = 0;
    // True when the spooler accepted the document.
    virtual bool endDoc() = 0;
};

// The system's print spooler: who the default printer is, and a context
// for printing on a printer.
class PrintService {
public:
    virtual ~PrintService() = default;
    // The default printer as "name,driver,port" or as a name alone;
    // empty when none is known.
    virtual std::string defaultPrinter() = 0;
    // Null when the printer cannot be opened.
    virtual std::unique_ptr<PrintJob> open(const std::string& printerName) = 0;
};
