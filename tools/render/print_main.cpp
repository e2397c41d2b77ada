// kelvo-print: kelvo-render's printing, in a program of its own so that
// only printing loads Qt PrintSupport and CUPS. kelvo-render hands it
// its own arguments.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/HeadlessGui.h"
#include "tools/render/PrintPage.h"
#include "tools/render/RenderOptions.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (!options || !options->print) {
        std::fprintf(stderr, "kelvo-print: %s\n%s", options ? "--print is needed" : error.c_str(),
                     renderUsage);
        return 2;
    }
    const std::optional<RenderInputs> given = inputsOf(*options, error);
    if (!given) {
        std::fprintf(stderr, "kelvo-render: %s\n", error.c_str());
        return 2;
    }
    int warning = 0;
    if (!given->dataWarning.empty()) {
        std::fprintf(stderr, "kelvo-render: %s\n", given->dataWarning.c_str());
        warning = 1;
    }
    const HeadlessGui gui(argc, argv);
    return std::max(printPage(given->sheets, given->grid, options->blackAndWhite), warning);
}
