#include "sheets/Readings.h"

#include <cctype>
#include <climits>
#include <string>

#include "sheets/CNumber.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipSpace(const char* p)
{
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

const char* skipDigits(const char* p)
{
    while (isDigit(*p))
        ++p;
    return p;
}

// End of the longest decimal number that starts at p, or p if none.
const char* decimalEnd(const char* p)
{
    const char* q = p;
    if (*q == '+' || *q == '-')
        ++q;
    const char* digitsStart = q;
    q = skipDigits(q);
    bool anyDigit = q != digitsStart;
    if (*q == '.') {
        const char* fraction = q + 1;
        const char* afterFraction = skipDigits(fraction);
        if (anyDigit || afterFraction != fraction) {
            anyDigit = true;
            q = afterFraction;
        }
    }
    if (!anyDigit)
        return p;
    if (*q == 'e' || *q == 'E') {
        const char* e = q + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (isDigit(*e))
            q = skipDigits(e);
    }
    return q;
}

} // namespace

double realReading(const char* text)
{
    const char* start = skipSpace(text);
    const char* end = decimalEnd(start);
    if (end == start)
        return 0.0;
    return parseCNumber(std::string(start, end).c_str(), nullptr);
}

int integerReading(const char* text)
{
    const char* p = skipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; isDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
