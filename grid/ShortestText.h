#pragma once
#include <string>

// The shortest text that reads back as exactly this double, in the C
// locale ("0.1", "1e+20", "-2"); zero is "0" whatever its sign.
std::string shortestText(double value);
