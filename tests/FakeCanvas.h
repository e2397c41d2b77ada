#pragma once
// Test doubles for the device: a canvas with fixed, simple metrics that
// draws nothing, and a window that records every call through it.
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceWindow.h"
#include "device/RecordingCanvas.h"

// Every character is a font's average width wide; the cell height is the
// character height plus 3. A font of natural width has average width
// |height| / 2; the stock fixed font is 8 wide and 12 high.
class FakeCanvas final : public Canvas {
public:
    explicit FakeCanvas(int dpi = 96) : dpi_(dpi) {}

    Resolution resolution() const override { return {dpi_, dpi_}; }
    void segment(DevicePoint, DevicePoint, Pen) override { ++segments_; }
    void endLine() override
    {
        runs.push_back(segments_);
        segments_ = 0;
    }
    void fill(const DeviceRect&, Colour) override {}
    void frame(const DeviceRect&, Pen, Colour) override {}
    void clip(const DeviceRect&) override {}
    void unclip() override {}
    TextMetrics fontMetrics(const FontSpec& font) override
    {
        ++fontMetricsCalls;
        lastFont = font;
        if (font.stockFixed)
            return {12, 10, 8};
        const int h = font.height < 0 ? -font.height : font.height;
        const int width = font.width != 0 ? font.width : h / 2;
        return {h + 3, h, width};
    }
    int textWidth(const std::string& text, const FontSpec& font) override
    {
        return static_cast<int>(text.size()) * fontMetrics(font).aveCharWidth;
    }
    void text(DevicePoint, const std::string&, const FontSpec& font, Colour, Colour) override
    {
        textFont = font;
    }

    std::vector<int> runs;  // the number of segments of each line ended
    FontSpec lastFont;  // of the last question about a font
    FontSpec textFont;  // of the last text written
    int fontMetricsCalls = 0;

private:
    int dpi_;
    int segments_ = 0;
};

// The recorded calls of a kind, only those in a colour if one is given.
inline std::vector<RecordedCall> callsOf(const std::vector<RecordedCall>& calls, CallKind kind,
                                         std::optional<Colour> colour = std::nullopt)
{
    std::vector<RecordedCall> found;
    for (const RecordedCall& call : calls)
        if (call.kind == kind && (!colour || call.colour == *colour))
            found.push_back(call);
    return found;
}

// A window of a given client size whose pictures are recorded. Prompts
// are logged and questions answered from a script (No when it runs out).
class TestWindow final : public DeviceWindow {
public:
    struct Shown {
        Prompt kind;
        std::string text, caption;
        int acquiredBefore;  // the canvases acquired before it was shown
        int releasedBefore;
    };

    TestWindow(int width, int height) : rect_{0, 0, width, height}, recorder_(fake) {}

    DeviceRect clientRect() override { return rect_; }
    Canvas* acquireCanvas() override
    {
        ++acquired;
        return &recorder_;
    }
    void releaseCanvas(Canvas*) override { ++released; }
    PromptAnswer ask(Prompt kind, const std::string& text, const std::string& caption) override
    {
        shown.push_back({kind, text, caption, acquired, released});
        if (!isQuestion(kind))
            return PromptAnswer::Ok;
        if (answers.empty())
            return PromptAnswer::No;
        const PromptAnswer next = answers.front();
        answers.erase(answers.begin());
        return next;
    }

    const std::vector<RecordedCall>& calls() const { return recorder_.calls(); }
    std::vector<RecordedCall> calls(CallKind kind, std::optional<Colour> colour = std::nullopt) const
    {
        return callsOf(calls(), kind, colour);
    }
    void clearCalls() { recorder_.clearCalls(); }
    void resize(int width, int height) { rect_ = {0, 0, width, height}; }

    FakeCanvas fake;
    int acquired = 0;
    int released = 0;
    std::vector<Shown> shown;
    std::vector<PromptAnswer> answers;

private:
    DeviceRect rect_;
    RecordingCanvas recorder_;
};
