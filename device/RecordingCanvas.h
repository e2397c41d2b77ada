#pragma once
#include <string>
#include <vector>

#include "device/Canvas.h"

enum class CallKind { Line, Fill, Frame, Clip, Unclip, Text };

// One drawing call in exact device integers.
struct RecordedCall {
    CallKind kind = CallKind::Line;
    DevicePoint from, to;  // a line's ends; a text's top left corner in from
    DeviceRect rect;       // of a fill, frame or clip
    Colour colour = 0;     // a line's or frame's pen, a fill's, a text's
    int width = 0;         // a line's or frame's pen width
    std::string text;
};

// Where a recording canvas hands each call as it is made, instead of
// keeping it: a page's calls can be far more than memory holds.
class CallSink {
public:
    virtual void take(const RecordedCall& call) = 0;

protected:
    ~CallSink() = default;
};

// A canvas that records every drawing call and passes it on to an inner
// canvas (which also answers the questions about fonts and resolution).
// Without a sink it keeps the calls; with one it hands them on.
class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(Canvas& inner, CallSink* sink = nullptr) : inner_(inner), sink_(sink) {}

    const std::vector<RecordedCall>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    Resolution resolution() const override { return inner_.resolution(); }
    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void polyline(std::span<const DevicePoint> points, Pen pen) override;
    void endLine() override { inner_.endLine(); }
    void fill(const DeviceRect& rect, Colour colour) override;
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    TextMetrics fontMetrics(const FontSpec& font) override { return inner_.fontMetrics(font); }
    int textWidth(const std::string& text, const FontSpec& font) override
    {
        return inner_.textWidth(text, font);
    }
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;

private:
    void keep(RecordedCall&& call);

    Canvas& inner_;
    CallSink* sink_;
    std::vector<RecordedCall> calls_;
};

// The calls as text, one line each:
//   line X0 Y0 X1 Y1 #RRGGBB W     fill L T R B #RRGGBB
//   frame L T R B #RRGGBB W        clip L T R B | clip off
//   text X Y #RRGGBB "TEXT"
std::string traceLine(const RecordedCall& call);
// The same line, appended to out.
void appendTraceLine(std::string& out, const RecordedCall& call);
std::string trace(const std::vector<RecordedCall>& calls);

// "#RRGGBB" of a colour.
std::string hexColour(Colour colour);
