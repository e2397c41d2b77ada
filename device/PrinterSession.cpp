#include "device/PrinterSession.h"

namespace {

// The name as the question shows it.
constexpr std::size_t nameLimit = 99;

} // namespace

PrinterSession::Opening PrinterSession::open(PrintService* service, Prompter& prompter,
                                             std::unique_ptr<PrinterSession>& session)
{
    if (service != nullptr && !service->reachable()) {
        prompter.ask(Prompt::SpoolerUnreachable,
                     "The print spooler cannot be reached, so nothing can be printed.", "Print");
        return Opening::Refused;
    }
    std::string name = service != nullptr ? service->defaultDestination() : "";
    if (name.size() > nameLimit)
        name.resize(nameLimit);
    if (name.empty()) {
        prompter.ask(Prompt::NoPrinter,
                     "No default printer is known to the print spooler, so nothing can be printed.",
                     "Print");
        return Opening::Refused;
    }
    if (prompter.ask(Prompt::PrintTo, name, "Shall we print to ") != PromptAnswer::Yes)
        return Opening::Declined;
    const bool colour = prompter.ask(Prompt::Colour, "Colour ?", "Notice") == PromptAnswer::Yes;

    std::unique_ptr<PrintJob> job = service->open(name);
    if (job == nullptr) {
        prompter.ask(Prompt::PrintFailed,
                     "The printer " + name + " could not be opened; nothing was printed.",
                     "Print failed");
        return Opening::Refused;
    }
    session.reset(new PrinterSession(std::move(job), colour));
    return Opening::Printing;
}

PrintOutcome PrinterSession::finish()
{
    return job_->finish();
}

void PrinterSession::report(Prompter& prompter, PrintOutcome outcome)
{
    switch (outcome) {
    case PrintOutcome::Spooled: prompter.ask(Prompt::PrintFinished, "Printing is Finished", "Note"); return;
    case PrintOutcome::Incomplete:
        prompter.ask(Prompt::PrintFailed,
                     "The page could not be written completely; nothing was printed.",
                     "Print failed");
        return;
    case PrintOutcome::Refused:
        prompter.ask(Prompt::PrintFailed, "The print spooler refused the page; nothing was printed.",
                     "Print failed");
        return;
    }
}
