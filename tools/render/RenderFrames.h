#pragma once
#include <QImage>
#include <functional>
#include <string>

#include "platform/PageFile.h"
#include "sheets/Sheets.h"
#include "tools/render/FramePattern.h"
#include "tools/render/FrameRun.h"

// Writes one page to the file at path and says on stderr what it lacks;
// its exit status: 0, 1 for a page written with a warning, 2 for a page
// not written.
using PageWriter = std::function<int(const std::string& path, const Sheets& sheets)>;

// Writes every frame of the run in turn into the file the pattern names.
// A frame that is not written ends the run with status 2; a warning of
// any frame makes the status 1. On a terminal, a progress line on stderr.
int renderFrames(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                 const PageWriter& write);

// A PNG frame in two halves: drawn into an image on the calling thread,
// then written, and its warnings told, on a writer thread of its own, so
// that the next page is drawn while the last is compressed and saved.
struct DrawnFrame {
    PageFileResult result;
    QImage image;
};
using FrameDrawer = std::function<DrawnFrame(const Sheets& sheets)>;
using DrawnFrameWriter = std::function<int(const std::string& path, DrawnFrame& frame)>;

// As renderFrames, the frames written and told in order, and none after
// the first that cannot be written.
int renderFramesOverlapped(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                           const FrameDrawer& draw, const DrawnFrameWriter& write);
