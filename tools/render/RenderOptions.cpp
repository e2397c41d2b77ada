#include "tools/render/RenderOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <string>

#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "sheets/DataLine.h"
#include "sheets/SheetFileLoad.h"
#include "sheets/SheetLookup.h"
#include "tools/render/PageMessages.h"
#include "Version.h"

const char* const renderUsage =
    "usage: kelvo-render [SHEETS.kelvo] [--data FILE] [--set NAME=VALUE]... [--size WxH] -o FILE\n"
    "       kelvo-render [SHEETS.kelvo] [--data FILE] [--set NAME=VALUE]... [--size WxH] --frames N --turn -o PATTERN\n"
    "       kelvo-render [SHEETS.kelvo] [--data FILE] [--set NAME=VALUE]... [--size WxH] --sweep NAME=FROM:TO:COUNT -o PATTERN\n"
    "       kelvo-render [SHEETS.kelvo] [--data FILE] [--set NAME=VALUE]... --print [--bw]\n"
    "       kelvo-render [SHEETS.kelvo] [--data FILE] [--set NAME=VALUE]... --save OUT.kelvo [-o FILE]\n"
    "       kelvo-render --help | --version\n"
    "Draws the kelvo page of the sheets of SHEETS.kelvo (else of the defaults),\n"
    "changed by each --set, into FILE (.png, .svg, .pdf, .hpgl or .calls), or\n"
    "prints it on the default printer. --data reads a grid of heights (a\n"
    "matrix, or x y z blocks) that z takes in f(x,y), and sets the lines that\n"
    "draw it before any --set. --save writes the sheets as they then stand\n"
    "to a sheet file (see kelvo(5)). NAME is a sheet line: a b c d e f(x,y)\n"
    "x1 x2 y1 y2 z1 z2 n m k tilt theta pc fc ax title, or of the style:\n"
    "lines hidden bands ticks.\n"
    "--size is the page in pixels, 800x600 unless given.\n"
    "--frames N --turn draws N pages, theta stepping by 360/N; --sweep draws\n"
    "COUNT pages, NAME set evenly from FROM to TO. PATTERN names each page's\n"
    "file with one field for its number from 0, as in frame-%03d.png, or is\n"
    "one animated .webp file of every frame.\n";

namespace {

constexpr int maxPageSide = 16384;

bool allDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool parseSide(const std::string& text, int& side)
{
    if (text.size() > 5 || !allDigits(text))
        return false;
    side = std::stoi(text);
    return side >= 1 && side <= maxPageSide;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    return x != std::string::npos && parseSide(text.substr(0, x), width) &&
           parseSide(text.substr(x + 1), height);
}

// A frame count: 1 to FrameRun::mostFrames.
bool parseCount(const std::string& text, int& count)
{
    if (text.size() > 6 || !allDigits(text))
        return false;
    count = std::stoi(text);
    return count >= 1 && count <= FrameRun::mostFrames;
}

// A whole text that is a finite number.
bool parseNumber(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

std::string countBound() { return "1 to " + std::to_string(FrameRun::mostFrames); }

// NAME=VALUE of --set, appended to the options' changes.
bool parseSet(const std::string& value, RenderOptions& options, std::string& error)
{
    const auto eq = value.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "--set takes NAME=VALUE, not \"" + value + "\"";
        return false;
    }
    const std::string name = value.substr(0, eq);
    Sheets defaults;
    if (findEntryLine(defaults, name) == nullptr) {
        error = "no sheet line is named \"" + name + "\"";
        return false;
    }
    if (value.size() - eq - 1 > DataLine::longestValue) {
        error = "the value of \"" + name + "\" is longer than " +
                std::to_string(DataLine::longestValue) + " bytes";
        return false;
    }
    options.sets.emplace_back(name, value.substr(eq + 1));
    return true;
}

// NAME=FROM:TO:COUNT of --sweep.
std::optional<FrameRun> parseSweep(const std::string& value, std::string& error)
{
    const auto eq = value.find('=');
    const auto colon1 = value.find(':', eq == std::string::npos ? 0 : eq);
    const auto colon2 = colon1 == std::string::npos ? colon1 : value.find(':', colon1 + 1);
    FrameRun run{FrameRun::Kind::Sweep};
    if (eq == std::string::npos || eq == 0 || colon2 == std::string::npos ||
        !parseNumber(value.substr(eq + 1, colon1 - eq - 1), run.from) ||
        !parseNumber(value.substr(colon1 + 1, colon2 - colon1 - 1), run.to) ||
        !parseCount(value.substr(colon2 + 1), run.count)) {
        error = "--sweep takes NAME=FROM:TO:COUNT, two numbers and a count from " +
                countBound() + ", not \"" + value + "\"";
        return std::nullopt;
    }
    run.line = value.substr(0, eq);
    Sheets defaults;
    if (findEntryLine(defaults, run.line) == nullptr) {
        error = "no sheet line is named \"" + run.line + "\"";
        return std::nullopt;
    }
    if (!holdsNumber(run.line)) {
        error = "--sweep takes a sheet line with a number, not \"" + run.line + "\"";
        return std::nullopt;
    }
    return run;
}

bool isSheetFileName(const std::string& path)
{
    constexpr std::string_view extension = ".kelvo";
    return path.size() > extension.size() && path.ends_with(extension);
}

// What the options ask for as a whole; false with the error when they
// do not go together.
bool checkTogether(RenderOptions& o, int turnFrames, bool turn, bool haveOutput,
                   std::string& error)
{
    if (turn != (turnFrames > 0)) {
        error = turn ? "--turn needs --frames N" : "--frames N goes with --turn";
        return false;
    }
    if (turn && o.frames) {
        error = "--sweep and --turn each make the frames: give one of them";
        return false;
    }
    if (turn)
        o.frames = FrameRun{FrameRun::Kind::Turn, "theta", 0, 0, turnFrames};
    if (o.blackAndWhite && !o.print) {
        error = "--bw goes with --print";
        return false;
    }
    if (o.print && o.frames) {
        error = "--print prints one page: leave out --frames, --turn and --sweep";
        return false;
    }
    if (o.print && haveOutput) {
        error = "--print writes no file: leave out -o";
        return false;
    }
    if (!o.print && !haveOutput && (o.save.empty() || o.frames)) {
        error = "-o FILE, --print or --save is needed";
        return false;
    }
    return true;
}

// The frames of an animation, held by its encoder, are bounded together.
bool checkAnimationSize(const RenderOptions& o, std::string& error)
{
    const std::int64_t pixels = std::int64_t{o.width} * o.height * o.frames->count;
    if (pixels <= mostAnimatedPixels)
        return true;
    error = "an animated .webp holds at most " + std::to_string(mostAnimatedPixels) +
            " pixels in all its frames; " + std::to_string(o.frames->count) + " frames of " +
            std::to_string(o.width) + "x" + std::to_string(o.height) + " have " +
            std::to_string(pixels) + ": write numbered files instead";
    return false;
}

// The pattern of -o for frames; the file's format from the name it gives.
bool checkOutput(RenderOptions& o, std::string& error)
{
    std::string name = o.output;
    if (o.frames) {
        o.pattern = FramePattern::parse(o.output, error);
        if (!o.pattern)
            return false;
        name = o.pattern->fileName(0);
        o.animated = lowerSuffixOf(name) == "webp";
        if (o.animated && o.pattern->hasField()) {
            error = "an animated .webp holds every frame: -o takes no field: \"" + o.output + "\"";
            return false;
        }
        if (o.animated)
            return checkAnimationSize(o, error);
        if (!o.pattern->hasField() && o.frames->count > 1) {
            error = "-o needs a field for the frame's number, such as frame-%03d.png, for " +
                    std::to_string(o.frames->count) + " frames: \"" + o.output + "\"";
            return false;
        }
    }
    const auto format = pageFormatOf(name);
    if (!format) {
        error = "the output's extension must be .png, .svg, .pdf, .hpgl or .calls (or .webp for "
                "frames): \"" + o.output + "\"";
        return false;
    }
    o.format = *format;
    return true;
}

} // namespace

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error)
{
    RenderOptions options;
    int turnFrames = 0;
    bool turn = false;
    bool haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--print") {
            options.print = true;
        } else if (arg == "--bw") {
            options.blackAndWhite = true;
        } else if (arg == "--turn") {
            turn = true;
        } else if (arg == "--set" || arg == "--size" || arg == "-o" || arg == "--frames" ||
                   arg == "--sweep" || arg == "--save" || arg == "--data") {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--set") {
                if (!parseSet(value, options, error))
                    return std::nullopt;
            } else if (arg == "--size") {
                if (!parseSize(value, options.width, options.height)) {
                    error = "--size takes WxH, each from 1 to 16384, not \"" + value + "\"";
                    return std::nullopt;
                }
            } else if (arg == "--frames") {
                if (!parseCount(value, turnFrames)) {
                    error = "--frames takes " + countBound() + " frames, not \"" + value + "\"";
                    return std::nullopt;
                }
            } else if (arg == "--save") {
                if (!isSheetFileName(value)) {
                    error = "--save writes a sheet file, whose name ends in .kelvo: \"" + value + "\"";
                    return std::nullopt;
                }
                options.save = value;
            } else if (arg == "--data") {
                if (!options.dataFile.empty()) {
                    error = "--data takes one data file";
                    return std::nullopt;
                }
                options.dataFile = value;
            } else if (arg == "--sweep") {
                options.frames = parseSweep(value, error);
                if (!options.frames)
                    return std::nullopt;
            } else {
                options.output = value;
                haveOutput = true;
            }
        } else if (!arg.starts_with('-') && options.sheetFile.empty()) {
            options.sheetFile = arg;
        } else {
            error = "unknown argument \"" + arg + "\"";
            return std::nullopt;
        }
    }
    if (options.help || options.version)
        return options;
    if (!checkTogether(options, turnFrames, turn, haveOutput, error))
        return std::nullopt;
    if (!options.print && haveOutput && !checkOutput(options, error))
        return std::nullopt;
    return options;
}

std::optional<RenderInputs> inputsOf(const RenderOptions& options, std::string& error)
{
    RenderInputs inputs;
    std::string recorded;
    if (!options.sheetFile.empty()) {
        if (auto refusal = loadSheetFile(options.sheetFile, inputs.sheets, &recorded)) {
            error = std::move(*refusal);
            return std::nullopt;
        }
    }
    if (!options.dataFile.empty()) {
        GridRead read = readGridFile(options.dataFile, options.dataFile);
        if (!read) {
            error = std::move(read.error);
            return std::nullopt;
        }
        setGridLines(inputs.sheets, *read.grid,
                     std::filesystem::path(options.dataFile).filename().string());
        inputs.grid = std::move(read.grid);
        inputs.dataFile = options.dataFile;
    } else if (!recorded.empty()) {
        // The sheet file's lines already draw its grid.
        GridRead read = readGridFile(recorded, recorded);
        inputs.grid = std::move(read.grid);
        inputs.dataFile = inputs.grid ? recorded : std::string();
        inputs.dataWarning = std::move(read.error);
    }
    for (const auto& [name, value] : options.sets) {
        DataLine* line = findEntryLine(inputs.sheets, name);
        buildLine(*line, line->name, value.c_str());
    }
    return inputs;
}

std::optional<RenderOptions> optionsOrAnswer(int argc, char** argv, int& status)
{
    std::string error;
    auto options = parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    status = 0;
    if (!options) {
        std::fprintf(stderr, "kelvo-render: %s\n%s", error.c_str(), renderUsage);
        status = exitFailure;
    } else if (options->help) {
        std::fputs(renderUsage, stdout);
    } else if (options->version) {
        std::printf("kelvo-render %s\n", programVersion);
    } else {
        return options;
    }
    return std::nullopt;
}
