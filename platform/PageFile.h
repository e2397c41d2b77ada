#pragma once
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <string>

#include "pages/PageRequest.h"

// Draws the page into the file at path, in the format its extension
// names, its text measured by Qt. The file appears whole or not at all:
// a failed write leaves whatever was there before.
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
