// Feeds arbitrary bytes to the tokenizer, the parser and the evaluation.
#include <cstddef>
#include <cstdint>
#include <string>

#include "expr/ExprParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ExprParser parser;
    if (!parser.parse(text.c_str()))
        return 0;
    const SymbolTable& symbols = *parser.symbols();
    const Program program =
        parser.compile({symbols.find("x"), symbols.find("y"), symbols.find("z")});
    const double points[] = {-2.0, -0.5, 0.0, 1.0, 1e308};
    double x[25], y[25], z[25], out[25];
    std::size_t n = 0;
    for (double px : points)
        for (double py : points) {
            x[n] = px;
            y[n] = py;
            z[n] = px - py;
            ++n;
        }
    // A point's value is the same alone as in a block (NaNs aside).
    program.run(x, y, z, out);
    for (std::size_t i = 0; i < n; ++i)
        if (program.at(x[i], y[i], z[i]) != out[i] && out[i] == out[i])
            __builtin_trap();
    return 0;
}
