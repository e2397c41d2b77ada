#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "grid/HeightGrid.h"
#include "render/ComposePage.h"
#include "render/SurfaceRenderer.h"
#include "sheets/Sheets.h"

enum class PageFormat { Png, Svg, Pdf, Hpgl, Calls };

// A file name's extension, in lower case: what follows the last dot of
// its last part, as Qt's QFileInfo::suffix reads it ("svg" for both
// "page.SVG" and ".svg"); empty without a dot.
std::string lowerSuffixOf(const std::string& path);

// The format a file's extension names: .png, .svg, .pdf, .hpgl or .calls,
// in any case.
std::optional<PageFormat> pageFormatOf(const std::string& path);

// Bounds that keep a page's memory under a gigabyte: the pixels of a PNG
// page (its image is held whole), and the mesh samples of a PDF page (its
// content is held until the page ends).
constexpr std::int64_t maxPngPixels = std::int64_t{1} << 27;
constexpr std::int64_t maxPdfSamples = std::int64_t{1} << 25;
// The most an SVG page drawn in memory may take: a mesh of some ten
// million samples (about 6 bytes each).
constexpr std::int64_t maxMemorySvgBytes = std::int64_t{1} << 26;

// The page a click in the plot window draws, of the given size in pixels,
// at the live angles when given (else at the sheet's), with the grid of
// heights loaded, if any.
struct PageRequest {
    const Sheets& sheets;
    int width = 800;
    int height = 600;
    std::optional<ViewAngles> angles;
    std::shared_ptr<const HeightGrid> grid = nullptr;
};

// The warning box of an f(x,y) that does not parse, and the parser's
// word on it.
struct ParseWarning {
    std::string caption, line, diagnostic;
};

struct PageFileResult {
    bool written = false;
    // Why nothing was written, naming the cause.
    std::string error;
    std::optional<ParseWarning> parseWarning;
    // Why the page has no surface, if it has none; what limit was hit.
    MeshRefusal meshRefusal = MeshRefusal::None;
    std::string meshWarning;
    // Drawn, then left out unwritten because whoever drew it would not
    // keep it (its text measured otherwise than it must be).
    bool abandoned = false;
};
