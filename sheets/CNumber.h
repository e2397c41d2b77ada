#pragma once

// strtod in the "C" locale, whatever locale the program has set: the
// decimal point of a sheet value is always a full stop.
double parseCNumber(const char* text, const char** end);
