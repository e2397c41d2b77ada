#include "expr/Builtins.h"

#include <array>
#include <cstring>
#include <math.h>

#include "expr/ExpBlock.h"

namespace {

bool positive(double x) { return x > 0.0; }
bool notNegative(double x) { return x >= 0.0; }
double stepOf(double x) { return x >= 0.0 ? 1.0 : 0.0; }

constexpr std::array<Builtin, 12> table{{
    {"sin", ::sin, nullptr, nullptr},
    {"cos", ::cos, nullptr, nullptr},
    {"tan", ::tan, nullptr, nullptr},
    {"atan", ::atan, nullptr, nullptr},
    {"exp", ::exp, nullptr, expBlock},
    {"log", ::log, positive, nullptr},
    {"sqrt", ::sqrt, notNegative, nullptr},
    {"cosh", ::cosh, nullptr, nullptr},
    {"sinh", ::sinh, nullptr, nullptr},
    {"tanh", ::tanh, nullptr, nullptr},
    {"fabs", ::fabs, nullptr, nullptr},
    {"step", stepOf, nullptr, nullptr},
}};

} // namespace

std::span<const Builtin> builtins()
{
    return table;
}

const Builtin* findBuiltin(const char* name)
{
    for (const Builtin& builtin : table)
        if (std::strcmp(builtin.name, name) == 0)
            return &builtin;
    return nullptr;
}
