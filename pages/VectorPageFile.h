#pragma once
#include <functional>
#include <string>

#include "device/Canvas.h"
#include "pages/ByteSink.h"
#include "pages/PageRequest.h"

// The formats written without a picture: SVG, HPGL and the drawing calls.
bool isVectorFormat(PageFormat format);

// Draws the page in one of those formats into out, its text measured on
// the canvas given; false when it could not be written whole (result's
// error says why, where a layer could not be kept).
bool writeVectorPage(PageFormat format, const PageRequest& request, Canvas& fonts, ByteSink& out,
                     PageFileResult& result);

// The page's file at path, whole or not at all, in one of those formats.
// A page that keep, when given, does not take once drawn is left out
// unwritten (result says it was abandoned), as if never asked for.
PageFileResult writeVectorPageFile(const std::string& path, PageFormat format,
                                   const PageRequest& request, Canvas& fonts,
                                   const std::function<bool()>& keep = {});
