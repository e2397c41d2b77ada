#include "sheets/CNumber.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

double parseCNumber(const char* text, const char** end)
{
    char* stop = nullptr;
    const double value = strtod_l(text, &stop, cLocale());
    if (end != nullptr)
        *end = stop;
    return value;
}
