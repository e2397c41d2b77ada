#include "platform/PaintDeviceWindow.h"

PaintDeviceWindow::PaintDeviceWindow(QPaintDevice* device, int width, int height)
    : device_(device), width_(width), height_(height)
{
}

PaintDeviceWindow::~PaintDeviceWindow() = default;

Canvas* PaintDeviceWindow::acquireCanvas()
{
    canvas_ = std::make_unique<QtCanvas>(device_);
    if (!recording_)
        return canvas_.get();
    recorder_ = std::make_unique<RecordingCanvas>(*canvas_);
    return recorder_.get();
}

void PaintDeviceWindow::releaseCanvas(Canvas*)
{
    if (recorder_) {
        recorded_.insert(recorded_.end(), recorder_->calls().begin(), recorder_->calls().end());
        recorder_.reset();
    }
    canvas_.reset();
}

PromptAnswer PaintDeviceWindow::ask(Prompt kind, const std::string& text, const std::string& caption)
{
    if (handler_)
        return handler_(kind, text, caption);
    return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
}
