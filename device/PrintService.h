#pragma once
#include <memory>
#include <string>

#include "device/Canvas.h"

struct PageSize {
    int width = 0, height = 0;
};

// One document of one page on a print destination.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual Canvas& canvas() = 0;
    // The printable area in printer dots.
    virtual PageSize pageSize() const = 0;
    // Ends the page and hands the document to the spooler; true when the
    // spooler accepted it.
    virtual bool finish() = 0;
};

// The system's print spooler.
class PrintService {
public:
    virtual ~PrintService() = default;
    // The default destination's name; empty when none is known.
    virtual std::string defaultDestination() = 0;
    // A job on the destination; null when it cannot be opened.
    virtual std::unique_ptr<PrintJob> open(const std::string& destination) = 0;
};
