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
// given size (an image, an SVG or PDF generator). Message boxes go to a
// handler. With recording on, every drawing call is also logged.
class PaintDeviceWindow final : public DeviceWindow {
public:
    using MessageHandler =
        std::function<MessageAnswer(const std::string& text, const std::string& caption,
                                    MessageButtons buttons)>;

    PaintDeviceWindow(QPaintDevice* device, int width, int height);
    ~PaintDeviceWindow();

    void setMessageHandler(MessageHandler handler) { handler_ = std::move(handler); }
    void setRecording(bool on) { recording_ = on; }
    // The calls of every picture drawn so far, in order.
    const std::vector<std::string>& recordedCalls() const { return recorded_; }
    std::string trace() const;

    DeviceRect clientRect() override { return {0, 0, width_, height_}; }
    Canvas* acquireCanvas() override;
    void releaseCanvas(Canvas* canvas) override;
    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons) override;

private:
    QPaintDevice* device_;
    int width_, height_;
    MessageHandler handler_;
    bool recording_ = false;
    std::unique_ptr<QtCanvas> canvas_;
    std::unique_ptr<RecordingCanvas> recorder_;
    std::vector<std::string> recorded_;
};
