#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceWindow.h"
#include "device/RecordingCanvas.h"
#include "platform/QtCanvas.h"

class QPaintDevice;

// A window without a screen: its client area is a Qt paint device of a
// given size (an image, an SVG or PDF generator). Prompts go to a
// handler. With recording on, every drawing call is also kept.
class PaintDeviceWindow final : public DeviceWindow {
public:
    using PromptHandler =
        std::function<PromptAnswer(Prompt kind, const std::string& text, const std::string& caption)>;

    PaintDeviceWindow(QPaintDevice* device, int width, int height);
    ~PaintDeviceWindow();

    // Without a handler notes are taken and questions answered No.
    void setPromptHandler(PromptHandler handler) { handler_ = std::move(handler); }
    void setRecording(bool on) { recording_ = on; }
    // The calls of every picture drawn so far, in order.
    const std::vector<RecordedCall>& recordedCalls() const { return recorded_; }

    DeviceRect clientRect() override { return {0, 0, width_, height_}; }
    Canvas* acquireCanvas() override;
    void releaseCanvas(Canvas* canvas) override;
    PromptAnswer ask(Prompt kind, const std::string& text, const std::string& caption) override;

private:
    QPaintDevice* device_;
    int width_, height_;
    PromptHandler handler_;
    bool recording_ = false;
    std::unique_ptr<QtCanvas> canvas_;
    std::unique_ptr<RecordingCanvas> recorder_;
    std::vector<RecordedCall> recorded_;
};
