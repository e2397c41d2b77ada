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
    const double points[] = {-2.0, -0.5, 0.0, 1.0, 1e308};
    for (double x : points)
        for (double y : points) {
            parser.symbols()->setValue("x", x);
            parser.symbols()->setValue("y", y);
            parser.evaluateSafely();
        }
    return 0;
}
