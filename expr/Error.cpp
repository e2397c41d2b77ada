#include "expr/Error.h"

#include <cstdio>

Error::Report Error::report() const
{
    Report text{};
    std::snprintf(text.data(), text.size(), "Domain error: %s(%.6g)", name, value);
    return text;
}
