#include "device/PlotDevice.h"

#include "device/Fonts.h"
#include "device/PrinterSession.h"

// The printer's half of beginDrawing: from here the device draws on the
// printed page, in black and white unless the user asked for colour.
void PlotDevice::startPrinting(std::unique_ptr<PrinterSession> printer)
{
    printer_ = std::move(printer);
    bindCanvas(&printer_->canvas());
    brush_ = colourOf(BrushColour::White);
    lines_.forgetPoint();
    page_ = printer_->pageSize();
    indices_.pen = penIndex();
    printer_->keep(indices_);
    pageAspect_ = static_cast<double>(page_.height) / page_.width;
    if (!printer_->colour()) {
        indices_ = {.brush = indexOf(BrushColour::White),
                    .framePen = indexOf(PenColour::Black),
                    .pen = indexOf(PenColour::Black),
                    .text = indexOf(PenColour::Black)};
        lines_.presetIndex(indexOf(PenColour::Black));
    }
    // 14 points high, with the average character width of 16 points.
    selectFont(createPointFont(*dc_, "Times New Roman", 14, 16, 0));
}

// The printer's half of finishDrawing: the page goes to the spooler, and
// the device is back on the window, measuring text in the system's
// fixed-pitch font until the next picture. The caller tells the user how
// the print went.
PrintOutcome PlotDevice::finishPrinting()
{
    const PrintOutcome outcome = printer_->finish();
    indices_ = printer_->kept();
    lines_.presetIndex(indices_.pen);
    printer_.reset();
    bindCanvas(screen_);
    page_ = {client_.right - client_.left, client_.bottom - client_.top};
    FontSpec fixed;
    fixed.stockFixed = true;
    const TextMetrics metrics = dc_->fontMetrics(fixed);
    font_ = fixed;
    charWidth_ = metrics.aveCharWidth;
    lineHeight_ = metrics.height;
    return outcome;
}
