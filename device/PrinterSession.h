#pragma once
#include <memory>
#include <string>

#include "device/Colours.h"
#include "device/PrintService.h"
#include "device/Prompter.h"

// One print of one page: the questions asked before it, the job on the
// default destination, the colour answer, and the screen's colour indices
// kept while the printer draws. The shell asks, hands the open session to
// the page, and tells the outcome once the page is drawn.
class PrinterSession {
public:
    enum class Opening { Printing, Declined, Refused };

    // Finds the default destination, asks whether to print there and
    // whether in colour, and opens the job. Declined: the picture goes to
    // the window instead. Refused: nothing can be printed (the prompter
    // has said why).
    static Opening open(PrintService* service, Prompter& prompter,
                        std::unique_ptr<PrinterSession>& session);

    Canvas& canvas() { return job_->canvas(); }
    PageSize pageSize() const { return job_->pageSize(); }
    bool colour() const { return colour_; }

    void keep(const ColourIndices& screen) { kept_ = screen; }
    const ColourIndices& kept() const { return kept_; }

    // Ends the page and hands it to the spooler when it was written whole.
    PrintOutcome finish();
    // Tells the user how the print went: "Printing is Finished" or why
    // nothing was printed.
    static void report(Prompter& prompter, PrintOutcome outcome);

private:
    PrinterSession(std::unique_ptr<PrintJob> job, bool colour)
        : job_(std::move(job)), colour_(colour) {}

    std::unique_ptr<PrintJob> job_;
    bool colour_;
    ColourIndices kept_;
};
