#include "device/PlotDevice.h"

#include "device/Fonts.h"
#include "device/PrinterSession.h"

// The printer's half of beginDrawing. False when the picture is refused;
// otherwise the device draws on the printer's page, or on the window when
// the print was declined.
bool PlotDevice::startPrinting()
{
    switch (PrinterSession::open(printService_, *window_, printer_)) {
    case PrinterSession::Opening::Declined: return true;
    case PrinterSession::Opening::Refused: return false;
    case PrinterSession::Opening::Printing: break;
    }
    bindCanvas(&printer_->canvas());
    brush_ = BrushColours[5];
    lines_.forgetPoint();
    page_ = printer_->pageSize();
    indices_.pen = penIndex();
    printer_->keep(indices_);
    pageAspect_ = static_cast<double>(page_.height) / page_.width;
    if (!printer_->colour()) {
        indices_ = {.brush = 5, .framePen = 0, .pen = 0, .text = 0};
        lines_.presetIndex(0);
    }
    selectFont(createPointFont(*dc_, "Times New Roman", 140, 160, 0));
    return true;
}

// The printer's half of finishDrawing: the page goes to the spooler, and
// the device is back on the window, with the stock fixed font's metrics
// until the next picture.
void PlotDevice::finishPrinting()
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
    PrinterSession::report(*window_, outcome);
}
