#pragma once
#include "sheets/DataLine.h"

#include <cstddef>
#include <vector>

// A data sheet: a header line (sheet name, entry count as text) and the
// entry lines. Lines are addressed by position only.
class DataSheet {
public:
    explicit DataSheet(std::size_t lineCount = 0) : lines_(lineCount, DataLine{}) {}

    std::size_t size() const { return lines_.size(); }
    DataLine& operator[](std::size_t i) { return lines_.at(i); }
    const DataLine& operator[](std::size_t i) const { return lines_.at(i); }
    DataLine* data() { return lines_.data(); }
    const DataLine* data() const { return lines_.data(); }

private:
    std::vector<DataLine> lines_;
};

// The number of entry lines the header gives, kept within the lines the
// sheet holds.
std::size_t entryCount(const DataSheet& sheet);

// The sheets as the program starts: the built-in defaults.
DataSheet defaultFunctionSheet();
DataSheet defaultSettingsSheet();
DataSheet defaultStyleSheet();

// Index of the sdata lines by role.
namespace SettingsLine {
enum : std::size_t { x1 = 1, x2, y1, y2, z1, z2, n, m, k, tilt, theta, pc, fc, ax, title };
}

// Index of the style lines by role.
namespace StyleLine {
enum : std::size_t { lines = 1, hidden, bands, ticks };
}
