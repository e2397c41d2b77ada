#include "device/PlotDevice.h"

#include "device/Fonts.h"
#include "device/PrintService.h"

namespace {

constexpr std::size_t printerNameLimit = 99;

// The printer's name: the spooler's value up to its first comma.
std::string printerNameOf(const std::string& value)
{
    std::string name = value.substr(0, value.find(','));
    if (name.size() > printerNameLimit)
        name.resize(printerNameLimit);
    return name;
}

} // namespace

// The printer's half of beginDrawing(1). Returns false when the picture
// is refused; otherwise the device draws on the printer's page, or on the
// window when the print was declined.
bool PlotDevice::beginPrinting()
{
    const std::string name = printerNameOf(printService ? printService->defaultPrinter() : "");
    if (name.empty()) {
        printing = 0;
        window->messageBox("No default printer is known to the print spooler, so nothing can be printed.",
                           "Print", MessageButtons::Ok);
        pictureRefused = true;
        return false;
    }
    if (window->messageBox(name, "Shall we print to ", MessageButtons::YesNo) != MessageAnswer::Yes) {
        printing = 0;
        return true;
    }
    colour = 0;
    if (window->messageBox("Colour ?", "Notice", MessageButtons::YesNo) == MessageAnswer::Yes)
        colour = 1;

    printerDc = printService->open(name);
    if (printerDc != nullptr) {
        pageWidth = printerDc->horzRes();
        pageHeight = printerDc->vertRes();
    }
    if (printerDc == nullptr || !printerDc->startDoc() || !printerDc->startPage()) {
        printerDc.reset();
        printing = 0;
        colour = 1;
        window->messageBox("The printer " + name + " could not be opened; nothing was printed.",
                           "Print failed", MessageButtons::Ok);
        pageWidth = clientWidth;
        pageHeight = clientHeight;
        pictureRefused = true;
        return false;
    }

    printing = 1;
    screenDc = dc;
    dc = printerDc->canvas();
    savedFramePenIndex = framePenIndex;
    savedTextColourIndex = textColourIndex;
    savedBrushIndex = brushIndex;
    savedPenIndex = penIndex;
    pageAspect = static_cast<double>(pageHeight) / pageWidth;
    if (colour == 0) {
        framePenIndex = 0;
        brushIndex = 5;
        penIndex = 0;
        textColourIndex = 0;
    }
    font = createPointFont(*dc, "Times New Roman", 140, 160, 0);
    dc->selectFont(font);
    textMetrics = dc->textMetrics();
    charWidth = textMetrics.aveCharWidth;
    lineHeight = textMetrics.height;
    textY = lineHeight;
    lineStartX = textX = 10 * charWidth;
    return true;
}

// The printer's half of finishDrawing: end the one page and document,
// and put the device back on the window.
void PlotDevice::finishPrinting()
{
    dc->flush();
    const bool pageEnded = printerDc->endPage();
    const bool accepted = printerDc->endDoc() && pageEnded;
    printerDc.reset();
    dc = screenDc;
    screenDc = nullptr;
    pageWidth = clientWidth;
    pageHeight = clientHeight;
    brushIndex = savedBrushIndex;
    framePenIndex = savedFramePenIndex;
    penIndex = savedPenIndex;
    textColourIndex = savedTextColourIndex;
    printing = 0;
    colour = 1;
    dc->selectStockFixedFont();
    const TextMetrics fixed = dc->textMetrics();
    charWidth = fixed.aveCharWidth;
    lineHeight = fixed.height;
    lastPrintAccepted = accepted;
    if (accepted)
        window->messageBox("Printing is Finished", "Note", MessageButtons::Ok);
    else
        window->messageBox("The print spooler refused the page; nothing was printed.",
                           "Print failed", MessageButtons::Ok);
}
