#pragma once
#include <memory>
#include <string>

#include "device/Canvas.h"

struct PageSize {
    int width = 0, height = 0;
};

// How a finished page fared: handed to the spooler, not written whole
// (so never handed over), or written and refused by the spooler.
enum class PrintOutcome { Spooled, Incomplete, Refused };

// One document of one page on a print destination.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual Canvas& canvas() = 0;
    // The printable area in printer dots.
    virtual PageSize pageSize() const = 0;
    // Ends the page and hands the document to the spooler, but only when
    // it was written completely.
    virtual PrintOutcome finish() = 0;
};

// The system's print spooler.
class PrintService {
public:
    virtual ~PrintService() = default;
    // Whether the spooler answers at all: without it there is no default
    // destination to be had either.
    virtual bool reachable() = 0;
    // The default destination's name; empty when none is known.
    virtual std::string defaultDestination() = 0;
    // A job on the destination; null when it cannot be opened.
    virtual std::unique_ptr<PrintJob> open(const std::string& destination) = 0;
};
