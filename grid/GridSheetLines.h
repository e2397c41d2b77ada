#pragma once
#include <string>
#include <vector>

#include "grid/HeightGrid.h"
#include "sheets/Sheets.h"

// A value for the sheet line of a name.
struct SheetLineValue {
    std::string name;  // without padding: "x1", "f(x,y)"
    std::string value;

    bool operator==(const SheetLineValue&) const = default;
};

// The lines a person would otherwise work out to draw the grid, so that
// the mesh's samples are its nodes:
//   f(x,y) z;
//   x1, x2, y1, y2 the grid's extent: 0 to columns - 1 and 0 to rows - 1
//     for a matrix, the least and greatest coordinates for triples;
//   z1, z2 its least and greatest finite height (0 and 1 when it has
//     none; a flat grid at h gets h - d to h + d, d = max(1, |h| / 4),
//     so that the box has a height);
//   n rows - 1, m columns - 1, k 1;
//   title the file's name, when titleIsEmpty (cut to what a value holds,
//     never within a character).
// Numbers are written as the shortest text that reads back exactly.
std::vector<SheetLineValue> gridSheetLines(const HeightGrid& grid, const std::string& fileName,
                                           bool titleIsEmpty);

// Sets each line of its name in the sheets (the rest of the sheets stay
// as they are); a name the sheets lack is passed over.
void setSheetLines(Sheets& sheets, const std::vector<SheetLineValue>& lines);

// What loading a grid from a file of that name does to the sheets.
void setGridLines(Sheets& sheets, const HeightGrid& grid, const std::string& fileName);
