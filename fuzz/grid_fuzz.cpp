// Feeds arbitrary bytes to the reader of data files; a grid it accepts is
// drawn on as a surface at points inside, on and outside its nodes, and
// gives its sheet lines.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "grid/GridSurface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const GridRead r = readGrid(in, "fuzz.csv");
    if (!r) {
        if (r.error.rfind("fuzz.csv:", 0) != 0)
            __builtin_trap();  // every refusal names the file
        return 0;
    }
    const HeightGrid& grid = *r.grid;
    if (grid.rows() < 2 || grid.columns() < 2)
        __builtin_trap();
    Sheets sheets;
    setGridLines(sheets, grid, "fuzz.csv");
    const double points[] = {-1e308, -2.5, -1, 0, 0.5, 1, 1.0000000001, 3, 1e308};
    for (double box : {1.0, -3.0, 0.0})
        for (const GridSurface surface{r.grid, 0, box, box, 1}; double x : points)
            for (double y : points)
                surface.height(x, y);
    return 0;
}
