#include "device/HelpPage.h"

#include <initializer_list>

#include "device/PlotDevice.h"

namespace {

struct HelpEntry {
    const char* heading;
    std::initializer_list<const char*> lines;
};

const HelpEntry helpEntries[] = {
    {"Menu:", {"Open, arrange, and size Plot (and Data) window(s), then click to activate."}},
    {"Screen:", {"Screen plots are started or refreshed by a mouse click."}},
    {"Orientation:",
     {"Move the mouse over the orientation grid to alter theta and tilt angles dynamically",
      "The function is rotated by theta; this is independent of the domain rotation that is",
      "determined by the ratio m/n. By clicking the mouse over the orientation grid,",
      "a (tilt,theta) pair is recorded for printing, or screen plotting without the grid."}},
    {"Fdata: ",
     {"The function f(x,y) and its optional parameters a b c d e,",
      "Use * for multiplication, / for division, ^ for powers, |x| = abs(x),",
      "If there is a parse error, the program warns and sets f(x,y) = 0.",
      "To update revised data, press button [u] in data box."}},
    {"Gdata:",
     {"Sets the graph scale parameters for box (x1,x2,y1,y2,z1,z2), and theta",
      "and tilt angles. m and n are number of xy mesh points; k is the number of steps",
      "on curve between mesh points.  Choose m > n : this also fixes the domain rotation.",
      "Axes: ax = (0, 1);  Frame: fc (0,c), c = colour;  Two plot colours = (pc, pc-5)."}},
    {"Print:", {"Prints the current surface and data to the default printer."}},
};

constexpr int explanationColumn = 14;

void writeEntry(PlotDevice& device, const HelpEntry& entry)
{
    device.setTextColour(PenColour::DarkRed);
    device.writeText(entry.heading);
    device.tabTo(explanationColumn);
    device.setTextColour(PenColour::DarkBlue);
    bool first = true;
    for (const char* line : entry.lines) {
        if (!first)
            device.nextLineAt(explanationColumn);
        device.writeText(line);
        first = false;
    }
    device.newLines(1);
    device.newLines(1);
}

} // namespace

void drawHelpPage(DeviceWindow& window)
{
    PlotDevice device(window);
    device.beginDrawing();
    device.setPageColours(BrushColour::PaleYellow, PenColour::DarkGreen, PenColour::DarkBlue);
    device.setViewport(1, 99, 2, 98, ClipMode::Clip);
    device.fillViewport(BrushColour::PaleYellow);
    device.frameViewport();
    // Headings three character widths in from the frame, the first one a
    // line below where the viewport put the cursor.
    device.indentLines(3);
    device.nextLineAt(0);
    for (const HelpEntry& entry : helpEntries)
        writeEntry(device, entry);
    device.finishDrawing();
}
