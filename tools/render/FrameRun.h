#pragma once
#include <cstdint>
#include <string>

#include "sheets/Sheets.h"

// The frames of one run: each is the sheets as given with one line, a
// line with a number, set to that frame's value.
struct FrameRun {
    // A turntable steps theta by 360/count degrees from the sheet's theta;
    // a sweep sets its line evenly from `from` to `to`.
    enum class Kind { Turn, Sweep };

    static constexpr int mostFrames = 100000;

    Kind kind = Kind::Turn;
    std::string line = "theta";
    double from = 0;
    double to = 0;
    int count = 1;
};

// All frames' pixels of one animated picture together, so that its
// encoder's memory (it holds the image it assembles, and frames as it
// compares them) stays bounded as a single page's does.
constexpr std::int64_t mostAnimatedPixels = std::int64_t{1} << 31;

// Whether a sheet line holds a number (f(x,y) and title do not).
bool holdsNumber(const std::string& line);

// The value of frame 0 <= frame < run.count; a turn starts at start, the
// sheet's own theta.
double frameValue(const FrameRun& run, double start, int frame);

// The text a frame's value is written as: the shortest that reads back
// as the same double (std::to_chars), so that --set with this text
// draws the same page.
std::string frameValueText(double value);

// The sheets of one frame.
Sheets frameSheets(const Sheets& given, const FrameRun& run, int frame);
