#include "render/PageReport.h"

#include "device/PrinterSession.h"

void tellPage(const PageReport& report, Prompter* warningOwner, Prompter& printOwner)
{
    if (report.parseFailure && warningOwner != nullptr)
        warningOwner->ask(Prompt::ParseWarning, report.parseFailure->line, parseWarningCaption);
    if (report.printed)
        PrinterSession::report(printOwner, *report.printed);
}
