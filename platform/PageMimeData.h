#pragma once
#include <QMimeData>
#include <memory>

#include "platform/PageFile.h"

// The type a page's SVG drawing goes by on the clipboard.
inline constexpr char svgMimeType[] = "image/svg+xml";

// The page for the clipboard, drawn as its page files draw it: as an
// image, and as an SVG drawing under svgMimeType. A page too large to
// hold in one of the two comes in the other alone.
std::unique_ptr<QMimeData> pageMimeData(const PageRequest& request);
