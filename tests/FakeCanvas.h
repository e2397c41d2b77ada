#pragma once
// Test doubles for the device: a canvas with fixed, simple metrics that
// draws nothing, and a window that records every call through it.
#include <string>
#include <utility>
#include <vector>

#include "device/DeviceWindow.h"
#include "device/RecordingCanvas.h"

// Every character is charWidth wide; the cell height is the character
// height plus 3. A font of natural width has average width |height| / 2.
class FakeCanvas final : public Canvas {
public:
    explicit FakeCanvas(int dpi = 96) : dpi_(dpi) {}

    int logPixelsX() const override { return dpi_; }
    int logPixelsY() const override { return dpi_; }
    void setPen(Colour, int) override {}
    void setBrush(Colour) override {}
    void fillRect(const DeviceRect&, Colour) override {}
    void rectangle(const DeviceRect&) override {}
    void setClip(const DeviceRect&) override {}
    void clearClip() override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    TextMetrics fontMetrics(const FontSpec& font) override
    {
        ++fontMetricsCalls;
        const int h = font.height < 0 ? -font.height : font.height;
        const int width = font.width != 0 ? font.width : h / 2;
        return {h + 3, h, width};
    }
    void selectFont(const FontSpec& font) override
    {
        selected = font;
        metrics_ = fontMetrics(font);
    }
    void selectStockFixedFont() override { metrics_ = {12, 10, 8}; }
    TextMetrics textMetrics() override { return metrics_; }
    TextSize textExtent(const std::string& text) override
    {
        return {static_cast<int>(text.size()) * metrics_.aveCharWidth, metrics_.height};
    }
    void setTextColour(Colour) override {}
    void setBkColour(Colour) override {}
    void textOut(int, int, const std::string&) override {}

    FontSpec selected;
    int fontMetricsCalls = 0;

private:
    int dpi_;
    TextMetrics metrics_{15, 12, 7};
};

// A window of a given client size whose pictures are recorded. Message
// boxes are logged and answered from a script (Ok, or No when it runs out).
class TestWindow final : public DeviceWindow {
public:
    TestWindow(int width, int height) : rect_{0, 0, width, height}, recorder_(fake) {}

    DeviceRect clientRect() override { return rect_; }
    Canvas* acquireCanvas() override
    {
        ++acquired;
        return &recorder_;
    }
    void releaseCanvas(Canvas*) override { ++released; }
    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons) override
    {
        messages.emplace_back(caption, text);
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return MessageAnswer::No;
        const MessageAnswer next = answers.front();
        answers.erase(answers.begin());
        return next;
    }

    const std::vector<std::string>& calls() const { return recorder_.calls(); }
    void clearCalls() { recorder_.clearCalls(); }
    std::vector<std::string> callsStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& call : calls())
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }
    void resize(int width, int height) { rect_ = {0, 0, width, height}; }

    FakeCanvas fake;
    int acquired = 0;
    int released = 0;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<MessageAnswer> answers;

private:
    DeviceRect rect_;
    RecordingCanvas recorder_;
};
