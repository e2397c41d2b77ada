#pragma once
#include <functional>
#include <string>

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
