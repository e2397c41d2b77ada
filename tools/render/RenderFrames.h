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

// A frame made on a worker thread: the page's result and what the
// writer takes, the bytes of its file or its drawn image.
struct MadeFrame {
    PageFileResult result;
    QByteArray bytes;
    QImage image;
};
// Makes the frame of the sheets; scratch is the worker's own image, kept
// from one frame to the next. Called on several threads at once.
using FrameMaker = std::function<MadeFrame(const Sheets& sheets, QImage& scratch)>;
// Writes a made frame and tells its warnings, on the calling thread, in
// the frames' order; its status as a PageWriter's.
using MadeFrameWriter = std::function<int(const std::string& path, MadeFrame& frame)>;

// As renderFrames, each frame made by one of `workers` threads while the
// calling thread writes those made before it: the files appear in order,
// and none after the first that cannot be written. At most two frames
// per worker are made ahead of the writing. Without workers each frame
// is made on the calling thread, then written.
int renderFramesInParallel(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                           int workers, const FrameMaker& make, const MadeFrameWriter& write);
