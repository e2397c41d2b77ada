#include "expr/Builtins.h"

#include <cmath>
#include <math.h>
#include <cstring>

#include "expr/Error.h"

namespace {

// A built-in defined only where inDomain holds: apply throws Error with
// the argument outside it.
#define KELVO_CHECKED_BUILTIN(Class, text, inDomain, function)   \
    class Class final : public BuiltinFunction {                \
    public:                                                     \
        Class() : BuiltinFunction(text) {}                      \
        double apply(double x) const override                   \
        {                                                       \
            if (!(inDomain))                                    \
                throw Error{text, x};                           \
            return function(x);                                 \
        }                                                       \
        bool tryApply(double x, double& value) const override   \
        {                                                       \
            if (!(inDomain))                                    \
                return false;                                   \
            value = function(x);                                \
            return true;                                        \
        }                                                       \
    };

// A built-in that never throws: apply is the plain function, which the
// flat evaluator may also call directly.
#define KELVO_BUILTIN(Class, text, function)                    \
    class Class final : public BuiltinFunction {                \
    public:                                                     \
        Class() : BuiltinFunction(text, &function) {}           \
        double apply(double x) const override { return function(x); } \
    };

double stepOf(double x)
{
    return x >= 0.0 ? 1.0 : 0.0;
}

KELVO_BUILTIN(Sin, "sin", ::sin)
KELVO_BUILTIN(Cos, "cos", ::cos)
KELVO_BUILTIN(Tan, "tan", ::tan)
KELVO_BUILTIN(Atan, "atan", ::atan)
KELVO_BUILTIN(Exp, "exp", ::exp)
KELVO_CHECKED_BUILTIN(Log, "log", x > 0.0, std::log)
KELVO_CHECKED_BUILTIN(Sqrt, "sqrt", x >= 0.0, std::sqrt)
KELVO_BUILTIN(Cosh, "cosh", ::cosh)
KELVO_BUILTIN(Sinh, "sinh", ::sinh)
KELVO_BUILTIN(Tanh, "tanh", ::tanh)
KELVO_BUILTIN(Fabs, "fabs", ::fabs)
KELVO_BUILTIN(Step, "step", stepOf)

#undef KELVO_BUILTIN
#undef KELVO_CHECKED_BUILTIN

// Filled once before main and read-only afterwards.
const Sin sinFunction;
const Cos cosFunction;
const Tan tanFunction;
const Atan atanFunction;
const Exp expFunction;
const Log logFunction;
const Sqrt sqrtFunction;
const Cosh coshFunction;
const Sinh sinhFunction;
const Tanh tanhFunction;
const Fabs fabsFunction;
const Step stepFunction;

const BuiltinFunction* const table[] = {
    &sinFunction,  &cosFunction,  &tanFunction,  &atanFunction,
    &expFunction,  &logFunction,  &sqrtFunction, &coshFunction,
    &sinhFunction, &tanhFunction, &fabsFunction, &stepFunction,
    nullptr,
};

} // namespace

const BuiltinFunction* const* builtinTable()
{
    return table;
}

const BuiltinFunction* findBuiltin(const char* name)
{
    for (const BuiltinFunction* const* slot = table; *slot != nullptr; ++slot)
        if (std::strcmp((*slot)->name(), name) == 0)
            return *slot;
    return nullptr;
}
