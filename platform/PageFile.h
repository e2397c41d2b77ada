#pragma once
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "render/ComposePage.h"
#include "render/SurfaceRenderer.h"
#include "sheets/Sheets.h"

enum class PageFormat { Png, Svg, Pdf, Hpgl, Calls };

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
};

// Draws the page into the file at path, in the format its extension
// names. The file appears whole or not at all: a failed write leaves
// whatever was there before.
PageFileResult writePageFile(const std::string& path, const PageRequest& request);

// The page drawn in memory, as its PNG file holds it: null when it has
// more than maxPngPixels or its image cannot be had.
QImage pageImage(const PageRequest& request);

// The page's SVG drawing, as its SVG file holds it: empty when it would
// take more than limit bytes.
QByteArray pageSvg(const PageRequest& request, std::int64_t limit = maxMemorySvgBytes);
// Draws the page into image, as a PNG page is drawn, for a writer of
// another picture format; an image of the page's size is drawn over, not
// made anew. Bounded as a PNG page; written says that the image is
// drawn, error why it is not.
PageFileResult drawPageImage(const PageRequest& request, QImage& image);

// Writes an image that drawPageImage drew as a PNG file, whole or not at
// all: the second half of a PNG page, for a caller that draws the next
// page while this one is written.
PageFileResult writePngFile(const std::string& path, const QImage& image);

// The PNG file of an image that drawPageImage drew, as its bytes; false
// when libpng fails.
bool pngBytes(const QImage& image, QByteArray& bytes);
// Writes a file's bytes, made ahead, whole or not at all.
PageFileResult writeFileBytes(const std::string& path, const QByteArray& bytes);
