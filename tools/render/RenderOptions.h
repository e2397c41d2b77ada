#pragma once
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "grid/HeightGrid.h"
#include "pages/PageRequest.h"
#include "tools/render/FramePattern.h"
#include "tools/render/FrameRun.h"

struct RenderOptions {
    // The sheet file the sheets are read from; the defaults when empty.
    std::string sheetFile;
    // The data file of --data, whose grid the pages draw.
    std::string dataFile;
    std::vector<std::pair<std::string, std::string>> sets;
    int width = 800;
    int height = 600;
    std::string output;
    PageFormat format = PageFormat::Png;
    // Where the sheets, as the --set lines leave them, are saved.
    std::string save;
    // Several pages (--frames with --turn, or --sweep), each written to
    // the file the pattern of -o names.
    std::optional<FrameRun> frames;
    std::optional<FramePattern> pattern;
    // Or one animated picture of every frame: the .webp file of -o.
    bool animated = false;
    bool print = false;
    bool blackAndWhite = false;
    bool help = false;
    bool version = false;
};

// Reads the command line; on a fault, error says what is wrong.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

// Reads the command line and answers what ends the run at once: a fault
// in it (said on stderr, with the usage, status exitFailure), --help or
// --version (status 0). Null, with the status, when the run ends here.
std::optional<RenderOptions> optionsOrAnswer(int argc, char** argv, int& status);

// What the pages are drawn from.
struct RenderInputs {
    Sheets sheets;
    // The grid of heights z takes, null without one, and its file.
    std::shared_ptr<const HeightGrid> grid;
    std::string dataFile;
    // Why the data file the sheet file records was not read, if it was
    // not: the pages are drawn without it.
    std::string dataWarning;
};

// The sheets as given: those of the sheet file, else the defaults, with
// the lines the grid of --data sets, then changed by each --set (the
// names are known good). Every frame starts from them. The grid is that
// of --data, else the one the sheet file records. Null, with the error,
// when the sheet file or the data file of --data cannot be read.
std::optional<RenderInputs> inputsOf(const RenderOptions& options, std::string& error);

extern const char* const renderUsage;
