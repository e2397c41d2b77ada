#pragma once
#include <array>

// A domain error of the evaluation: the operation that failed ("log",
// "sqrt" or "div") and its argument (0 for "div").
struct Error {
    const char* name;
    double value;

    // "Domain error: name(value)" with the value as "%.6g".
    using Report = std::array<char, 64>;
    Report report() const;
};
