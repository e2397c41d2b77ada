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

// A canvas that records every drawing call and passes it on to an inner
// canvas (which also answers the questions about fonts and resolution).
class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(Canvas& inner) : inner_(inner) {}

    const std::vector<RecordedCall>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    Resolution resolution() const override { return inner_.resolution(); }
    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
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
    RecordedCall& add(CallKind kind);

    Canvas& inner_;
    std::vector<RecordedCall> calls_;
};

// The calls as text, one line each:
//   line X0 Y0 X1 Y1 #RRGGBB W     fill L T R B #RRGGBB
//   frame L T R B #RRGGBB W        clip L T R B | clip off
//   text X Y #RRGGBB "TEXT"
std::string traceLine(const RecordedCall& call);
std::string trace(const std::vector<RecordedCall>& calls);

// "#RRGGBB" of a colour.
std::string hexColour(Colour colour);
