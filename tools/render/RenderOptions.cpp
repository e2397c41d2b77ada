#include "tools/render/RenderOptions.h"

#include <algorithm>
#include <string>

#include "sheets/DataLine.h"
#include "sheets/SheetLookup.h"

const char* const renderUsage =
    "usage: kelvo-render [SHEETS.kelvo] [--set NAME=VALUE]... [--size WxH] -o FILE\n"
    "       kelvo-render [SHEETS.kelvo] [--set NAME=VALUE]... --print [--bw]\n"
    "       kelvo-render [SHEETS.kelvo] [--set NAME=VALUE]... --save OUT.kelvo [-o FILE]\n"
    "       kelvo-render --help | --version\n"
    "Draws the kelvo page of the sheets of SHEETS.kelvo (else of the defaults),\n"
    "changed by each --set, into FILE (.png, .svg, .pdf or .calls), or prints it\n"
    "on the default printer. --save writes the sheets as they then stand to a\n"
    "sheet file (see kelvo(5)). NAME is a sheet line: a b c d e f(x,y) x1 x2 y1\n"
    "y2 z1 z2 n m k tilt theta pc fc ax title. --size is the page in pixels,\n"
    "800x600 unless given.\n";

namespace {

constexpr int maxPageSide = 16384;

bool parseSide(const std::string& text, int& side)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
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

bool isSheetFileName(const std::string& path)
{
    constexpr std::string_view extension = ".kelvo";
    return path.size() > extension.size() && path.ends_with(extension);
}

} // namespace

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error)
{
    RenderOptions options;
    bool haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--print") {
            options.print = true;
        } else if (arg == "--bw") {
            options.blackAndWhite = true;
        } else if (arg == "--set" || arg == "--size" || arg == "-o" || arg == "--save") {
            if (!hasValue) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--set") {
                const auto eq = value.find('=');
                if (eq == std::string::npos || eq == 0) {
                    error = "--set takes NAME=VALUE, not \"" + value + "\"";
                    return std::nullopt;
                }
                const std::string name = value.substr(0, eq);
                Sheets defaults;
                if (findEntryLine(defaults, name) == nullptr) {
                    error = "no sheet line is named \"" + name + "\"";
                    return std::nullopt;
                }
                if (value.size() - eq - 1 > DataLine::longestValue) {
                    error = "the value of \"" + name + "\" is longer than " +
                            std::to_string(DataLine::longestValue) + " bytes";
                    return std::nullopt;
                }
                options.sets.emplace_back(name, value.substr(eq + 1));
            } else if (arg == "--size") {
                if (!parseSize(value, options.width, options.height)) {
                    error = "--size takes WxH, each from 1 to 16384, not \"" + value + "\"";
                    return std::nullopt;
                }
            } else if (arg == "--save") {
                if (!isSheetFileName(value)) {
                    error = "--save writes a sheet file, whose name ends in .kelvo: \"" + value + "\"";
                    return std::nullopt;
                }
                options.save = value;
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
    if (options.blackAndWhite && !options.print) {
        error = "--bw goes with --print";
        return std::nullopt;
    }
    if (options.print && haveOutput) {
        error = "--print writes no file: leave out -o";
        return std::nullopt;
    }
    if (!options.print && !haveOutput && options.save.empty()) {
        error = "-o FILE, --print or --save is needed";
        return std::nullopt;
    }
    if (haveOutput) {
        const auto format = pageFormatOf(options.output);
        if (!format) {
            error = "the output's extension must be .png, .svg, .pdf or .calls: \"" +
                    options.output + "\"";
            return std::nullopt;
        }
        options.format = *format;
    }
    return options;
}
